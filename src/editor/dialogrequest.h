#pragma once

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
