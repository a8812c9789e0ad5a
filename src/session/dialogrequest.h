// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/frametable.h"

#include <array>

// What the main window asks its two dialogs to do, set by the list buttons
// immediately before a dialog is shown.
enum class EntryDialogMode {
    AddLyric,
    EditLyric,
    AddComment,
    EditComment,
    AddUserText,
    EditUserText,
    AddUserUrl,
    EditUserUrl,
    AddTermsOfUse,
    EditTermsOfUse,
};

enum class ImageDialogMode { AddPicture, EditPicture };

struct DialogRequest {
    EntryDialogMode entryDialogMode = EntryDialogMode::AddLyric;
    ImageDialogMode imageDialogMode = ImageDialogMode::AddPicture;
    int EntryIndex = 0; // 1-based position of the chosen entry, 0 when none
};

// The lists of the entry dialog's modes: each Add mode is followed by the Edit
// mode of the same list.
inline constexpr std::array<tag::ListKind, 5> EntryDialogLists{
    tag::ListKind::Lyrics, tag::ListKind::Comments, tag::ListKind::UserTexts,
    tag::ListKind::UserUrls, tag::ListKind::TermsOfUse};

constexpr tag::ListKind entryList(EntryDialogMode mode) {
    return EntryDialogLists[size_t(mode) / 2];
}
constexpr bool isEditMode(EntryDialogMode mode) {
    return size_t(mode) % 2 == 1;
}
constexpr EntryDialogMode addMode(tag::ListKind list) {
    size_t i = 0;
    while (i + 1 < EntryDialogLists.size() && EntryDialogLists[i] != list)
        ++i;
    return EntryDialogMode(i * 2);
}
constexpr EntryDialogMode editMode(tag::ListKind list) {
    return EntryDialogMode(size_t(addMode(list)) + 1);
}
static_assert(entryList(EntryDialogMode::EditTermsOfUse) == tag::ListKind::TermsOfUse &&
              editMode(tag::ListKind::UserUrls) == EntryDialogMode::EditUserUrl);
