// options_pages_win: what the options dialog and its six pages share. The dialog
// (options_dialog_win.cpp) creates each page from the dialog resource whose id is
// the page id, with the page procedure below, and gives it the page id as control
// id; Apply sends kOptionsApplyMessage to every page in page-id order and each page
// then saves its own settings through the settings' owner.
#pragma once
#include <windows.h>

namespace va {

inline constexpr int kOptionsDialogId = 200;
inline constexpr int kOptionsInterfacePage = 201;
inline constexpr int kOptionsAppearancePage = 202;
inline constexpr int kOptionsAccelPage = 203;
inline constexpr int kOptionsToolsPage = 204;
inline constexpr int kOptionsOrganizerPage = 205;
inline constexpr int kOptionsAddOnPage = 206;
inline constexpr int kOptionsFirstPage = kOptionsInterfacePage;
inline constexpr int kOptionsLastPage = kOptionsAddOnPage;

// Sent by the dialog to each page when Apply is pressed (no parameters).
inline constexpr UINT kOptionsApplyMessage = 2025;

// Most entries each list page accepts.
inline constexpr int kMaxToolItems = 32;
inline constexpr int kMaxFilterItems = 64;
inline constexpr int kMaxAddOnFiles = 8;

// Icons the pages show (resources 110 and 121 at small-icon size); loaded when the
// dialog opens, released when it closes; 0 while no dialog is open.
extern HICON OptionsNoteIcon;     // resource 110
extern HICON OptionsInfoIcon;     // resource 121
void LoadOptionsIcons();
void ReleaseOptionsIcons();

// Attaches to controls firstId..lastId of a page the string whose id equals the
// control id as tooltip (controls without a string get none).
void AttachPageTooltips(HWND page, int firstId, int lastId);
// "No more items are allowed." in a warning box with the module's caption.
void ShowListLimitMessage(HWND owner);

// The page procedures; each page answers WM_INITDIALOG by reading its settings and
// kOptionsApplyMessage by saving them.
INT_PTR CALLBACK InterfacePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AppearancePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AccelPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ToolsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK OrganizerPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AddOnPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the modal dialog owned by `owner`, showing `firstPage` (0: the remembered
// page). Returns 1 after Apply, 0 after Cancel.
INT_PTR OpenOptionsDialog(HWND owner, int firstPage);

}  // namespace va
