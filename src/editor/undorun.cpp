// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "editor/undorun.h"

#include "journal/undo.h"
#include "services/nativepath.h"
#include "services/userdialogs.h"
#include "session/selectionrun.h"
#include "session/session.h"
#include "widgets/loopprogress.h"

#include <QFile>
#include <QHash>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

UndoRun::UndoRun(Session& session, QWidget* parent) : QWidget(parent), m_session(session) {
    setObjectName(QStringLiteral("UndoRun"));
    ProgressBar = makeLoopBar(this, QStringLiteral("UndoProgressBar"), tr("Undo progress"));
    ProgressBar->setTextVisible(false);
    Counter = makeLoopCounter(this, QStringLiteral("UndoCounter"));
    Counter->setAlignment(Qt::AlignHCenter);
    StopButton = new QPushButton(tr("Stop"), this);
    StopButton->setObjectName(QStringLiteral("UndoStopButton"));
    StopButton->setToolTip(tr("Stop undoing after the file in hand (Esc)"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(ProgressBar);
    layout->addWidget(Counter);
    layout->addWidget(StopButton);
    connect(StopButton, &QPushButton::clicked, this, [this] { m_session.run.requestStop(); });
    hide();
}

void UndoRun::start() {
    guarded(m_session.dialogs(), window(), [&] {
        if (m_session.run.active() || !m_session.journal) return;
        // A journal of its own for each undo: its warning is given once an undo.
        journal::Journal journal(m_session.journal->folder(), m_session.journal->limits());
        journal::Undo undo(journal);
        if (!journal.warning().empty())
            m_session.dialogs().message(window(), QString::fromStdString(journal.warning()),
                                        QStringLiteral("Warning"), UserDialogs::Icon::Warning);
        if (undo.empty()) {
            // A damaged action set aside is told by the warning alone.
            if (!journal.warning().empty()) return;
            m_session.dialogs().message(window(), tr("There is nothing to undo."),
                                        QStringLiteral("Undo"), UserDialogs::Icon::Information);
            return;
        }
        const int files = int(undo.action().fileCount(true));
        const journal::Kind kind = undo.action().kind;
        const QString what = kind == journal::Kind::Rename  ? QStringLiteral("rename")
                             : kind == journal::Kind::Trash ? QStringLiteral("delete")
                                                            : QStringLiteral("write");
        if (!m_session.dialogs().question(
                window(),
                QStringLiteral("Undo the last %1 of %2 %3?")
                    .arg(what)
                    .arg(files)
                    .arg(files == 1 ? QStringLiteral("file") : QStringLiteral("files")),
                QStringLiteral("Caution")))
            return;

        // Renamed files get their old names in the selection list too.
        SelectionList& list = m_session.selection;
        QHash<QString, int> rows;
        for (int row = 0; row < list.rowCount(); ++row)
            rows.insert(list.path(row), row);
        QStringList leftAlone;
        {
            SelectionRun run(m_session, ProgressBar, Counter);
            show();
            // Counted in files, as the question does: "Write for all" wrote the
            // edited file twice.
            QSet<QString> done;
            while (!undo.atEnd() && !run.stopRequested()) {
                const journal::Step step = undo.next();
                const QString path = fromNativePath(step.path);
                done.insert(path);
                const QString restored = fromNativePath(step.restored);
                if (!step.restored.empty() && rows.contains(path))
                    list.setFile(rows.value(path), restored.section(QLatin1Char('/'), -1));
                // A file back from the trash is back in the list too.
                if (kind == journal::Kind::Trash && !step.restored.empty())
                    list.append(restored.section(QLatin1Char('/'), -1),
                                restored.section(QLatin1Char('/'), 0, -2) + QLatin1Char('/'));
                if (step.outcome == journal::Outcome::ChangedSince ||
                    step.outcome == journal::Outcome::Failed)
                    leftAlone << path + QStringLiteral(": ") + QString::fromStdString(step.message);
                run.fileDone(std::min(int(done.size()), files), files);
            }
            hide();
        }
        // Stopped half-way, the action stays the newest: the next undo goes on.
        // The lists are read again whether or not its end could be recorded.
        std::exception_ptr error;
        try {
            undo.finish();
        } catch (...) {
            error = std::current_exception();
        }
        emit finished();
        if (!leftAlone.isEmpty())
            m_session.dialogs().message(
                window(), QStringLiteral("These files were left alone:\n") + leftAlone.join('\n'),
                QStringLiteral("Warning"), UserDialogs::Icon::Warning);
        if (error) std::rethrow_exception(error);
    });
}
