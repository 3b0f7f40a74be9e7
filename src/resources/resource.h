// Resource ids shared by the resource script and the code.
#pragma once

// Built-in message strings (string table, language 2052).
#define IDS_PRODUCT_NAME          5101
#define IDS_HELP_LINK_NAME        5102
#define IDS_MANUAL_LINK_NAME      5103
#define IDS_UNINSTALL_CAPTION     5104
#define IDS_UNINSTALL_COMPLETE    5105
#define IDS_DELETE_BY_HAND        5106
#define IDS_CONFIRM_UNINSTALL     5107
#define IDS_CANNOT_OPEN_LIST      5108
#define IDS_ARCHIVE_CLASS         5109
#define IDS_ZIP_CLASS             5110
#define IDS_REV_CLASS             5111
#define IDS_HOME_PAGE             5112
#define IDS_LINK_DESCRIPTION      5113
#define IDS_RESTART_NEEDED        5114

// Dialog and icon resource names.
#define SETUP_DIALOG_NAME         "SETUPDLG"
#define DONE_DIALOG_NAME          "DONEDLG"
#define CONTEXT_ITEMS_DIALOG_NAME "CONTEXTITEMS"
#define APP_ICON_NAME             "KVXICON"
#define PROGRAM_ICON_NAME         "DELICON"

// Control ids of the three dialogs follow.
// A dialog's OK, Cancel and Help buttons keep the numbers the dialog manager
// gives them (IDOK, IDCANCEL, IDHELP); they are repeated here so that code
// without <windows.h> can name them too.
#define IDC_OK_BUTTON             1
#define IDC_CANCEL_BUTTON         2
#define IDC_HELP_BUTTON           9
// Labels, frames and separators that the code never addresses (65535 in the template).
#define IDC_STATIC                -1

// SETUPDLG: the fourteen format check boxes, in the order of the option slots 0-13.
#define IDC_FORMAT_KVX            5101
#define IDC_FORMAT_ZIP            5102
#define IDC_FORMAT_CAB            5103
#define IDC_FORMAT_ARJ            5104
#define IDC_FORMAT_LZH            5105
#define IDC_FORMAT_ACE            5106
#define IDC_FORMAT_7Z             5107
#define IDC_FORMAT_TAR            5108
#define IDC_FORMAT_GZIP           5109
#define IDC_FORMAT_UUE            5110
#define IDC_FORMAT_BZ2            5111
#define IDC_FORMAT_JAR            5112
#define IDC_FORMAT_ISO            5113
#define IDC_FORMAT_Z              5114
// SETUPDLG: shortcuts, shell integration and the other buttons.
#define IDC_LINK_DESKTOP          5115
#define IDC_LINK_START_MENU       5116
#define IDC_PROGRAM_GROUP         5117
#define IDC_SHELL_INTEGRATION     5118
#define IDC_CASCADED_MENUS        5119
#define IDC_MENU_ICONS            5120
#define IDC_SELECT_ALL            5121
#define IDC_EXPLANATION           5122
#define IDC_CONTEXT_ITEMS         5123

// DONEDLG (its numbers overlap those of SETUPDLG; the two never share a window).
#define IDC_INSTALL_FOLDER        5101
#define IDC_RUN_KOLVEX            5102
#define IDC_READ_HELP             5103
#define IDC_VIEW_LICENSE          5104
#define IDC_ORDER                 5105
#define IDC_VISIT_HOME_PAGE       5106
#define IDC_THANKS                5107
#define IDC_PRODUCT_INFO          5108
#define IDC_ORDER_INFO            5109

// CONTEXTITEMS: one check box per Explorer context menu command.
#define IDC_ITEM_EXTRACT_FILES    101
#define IDC_ITEM_EXTRACT_HERE     102
#define IDC_ITEM_EXTRACT_TO_FOLDER 103
#define IDC_ITEM_EXTRACT_SEPARATE 104
#define IDC_ITEM_OPEN_SFX         105
#define IDC_ITEM_ADD_TO_ARCHIVE   106
#define IDC_ITEM_ADD_TO_NAMED     107
#define IDC_ITEM_EMAIL_NAMED      108
#define IDC_ITEM_EMAIL_OPTIONS    109
#define IDC_ITEM_TEST             110
#define IDC_ITEM_CONVERT          111
