#pragma once

// The main dialog's control ids, kept from the dialog's first design so that
// anything that knows the controls by number still finds them.
enum ControlId {
    kDatePickerId = 1001,
    kStepsEditId = 1003,
    kStepsSpinId = 1004,
    kAddButtonId = 1005,
    kEntryListId = 1006,
    kDeleteButtonId = 1007,
    kReportButtonId = 1008,
    kStepLengthEditId = 1009,
    kHelpButtonId = 1012,
    kChartValuesCheckId = 1013,
    kVersionTextId = 1045,
};

// Commands that have no control of the template: the keys, the list's
// context menu and the import preview give them.
enum CommandId {
    kImportCommandId = 1101,
    kExportCommandId = 1102,
    kUseFileForConflictsId = 1103,
    kEditCommandId = 1104,
    kUndoCommandId = 1105,
    kRedoCommandId = 1106,
};

// The overview's button, added to the template's free space, and its menu
// item share one id.
inline constexpr int kOverviewCommandId = 1107;
