// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "services/userdialogs.h"

#include <QStringList>
#include <deque>
#include <ostream>
#include <vector>

// Answers questions and file dialogs from queues, and records every message.
class FakeDialogs : public UserDialogs {
public:
    // A box as the user sees it: its text, its caption and its icon.
    struct Message {
        QString text, caption;
        Icon icon;
        bool operator==(const Message&) const = default;
        friend void PrintTo(const Message& m, std::ostream* os) {
            *os << "{\"" << m.text.toStdString() << "\", \"" << m.caption.toStdString()
                << "\", icon " << int(m.icon) << "}";
        }
    };
    // The box of the general error report for an error's text.
    static Message reported(const QString& text) {
        return {withFullStop(text), ApplicationTitle, Icon::Error};
    }
    std::vector<Message> messages;
    QStringList questions;
    std::deque<bool> answers;  // empty: No
    std::deque<QString> files; // for every file dialog; empty: cancelled
    QStringList launched;
    int beeps = 0;
    QString lastSaveFolder, lastProposedName, lastFilter, lastSuffix, lastOpenFolder;

    void message(QWidget*, const QString& text, const QString& caption, Icon icon) override {
        messages.push_back({text, caption, icon});
    }
    bool question(QWidget*, const QString& text, const QString&) override {
        questions << text;
        if (answers.empty()) return false;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
    QString openFile(QWidget*, const QString&, const QString& folder,
                     const QString& filter) override {
        lastOpenFolder = folder;
        lastFilter = filter;
        return next();
    }
    QString openPicture(QWidget*, const QString& folder, const QString& filter) override {
        lastOpenFolder = folder;
        lastFilter = filter;
        return next();
    }
    QString saveFile(QWidget*, const QString& folder, const QString& proposedName,
                     const QString& filter, const QString& suffix) override {
        lastSaveFolder = folder;
        lastProposedName = proposedName;
        lastFilter = filter;
        lastSuffix = suffix;
        return next();
    }
    bool launch(const QString& target) override {
        launched << target;
        return true;
    }
    void beep() override { ++beeps; }

    QString lastMessage() const { return messages.empty() ? QString() : messages.back().text; }

private:
    QString next() {
        if (files.empty()) return {};
        QString f = files.front();
        files.pop_front();
        return f;
    }
};

using Box = FakeDialogs::Message;
using Boxes = std::vector<Box>;
using Icon = UserDialogs::Icon;
