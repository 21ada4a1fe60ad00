#pragma once
// What the shell's command bars carry, as data: the menu bar's popups, the
// context bars, both toolbars, the ribbon, the window actions, the key
// bindings, the status panes and the image lists. The builders only walk these
// tables, so the tables are what a check of the bars reads. Qt-free.
#include <array>
#include <cstdint>
#include <span>

#include "desk/common/PaneTable.h"

namespace OrbanexDesk {

// Control types of the command bars.
constexpr int32_t kTypeButton = 1;
constexpr int32_t kTypePopup = 2;
constexpr int32_t kTypeSplitButton = 4;

// Bars, popups and the ribbon's system button: ids that are never commands
// (the view bar and the context bars are named in PaneTable.h).
constexpr int32_t kBarFile = 100014;
constexpr int32_t kBarHelp = 100016;
constexpr int32_t kBarToolBars = 100028;
constexpr int32_t kSystemButton = 5001;

// Ends the desk at once, asking nothing: no key of the Tab chain reaches it.
constexpr int32_t kCmdExitSystem = 100066;

// Ribbon buttons are large.
constexpr int32_t kRibbonButtonStyle = 4;
constexpr int32_t kRibbonIconSize = 32;

struct BarItem {
    int32_t id;
    const char* caption;
    bool group;  // a separator before it
    const char* description = "";
    const char* category = "";
    int32_t type = kTypeButton;
};

struct BarTable {
    int32_t id;
    const char* title;
    std::span<const BarItem> items;
};

// ---- Menu bar (simple interface) ----

inline constexpr BarItem kFileItems[] = {
    {100029, "Add Account ", false},
    {100008, "Exit ", true},
};
inline constexpr BarItem kViewItems[] = {
    {100013, "New Position", false},   {100036, "New Entry Order", false},
    {100054, "Close Position", false}, {100011, "Accountsss list", true},
    {100063, "Market Watch", true},    {100042, "Journal", true},
    {100043, "Trade", false},          {100062, "Pending Orders", false},
    {100061, "Net Trade", false},      {100078, "Pro Interface", true},
};
inline constexpr BarItem kHelpItems[] = {
    {100009, "Help ", false},
    {100010, "About", true},
};
inline constexpr BarTable kMenuPopups[] = {
    {kBarFile, "&File", kFileItems},
    {kBarView, "&View", kViewItems},
    {kBarHelp, "&Help", kHelpItems},
};

// ---- Context bars, opened by the lists ----

// 100007 loads a list of accounts, the counterpart of the save-as 100006.
inline constexpr BarItem kAccountsPopupItems[] = {
    {100057, "Add Account", false}, {100018, "Login", true},        {100032, "Login All", false},
    {100019, "Logout", true},       {100033, "Logout All", false},  {100020, "Remove", true},
    {100034, "Remove All", false},  {100006, "Save List As", true}, {100007, "Load List", false},
};
inline constexpr BarItem kTradePopupItems[] = {
    {100031, "Close Position", false},
    {100035, "New Position", false},
    {100064, "New Entry Order", false},
};
inline constexpr BarItem kJournalPopupItems[] = {{100046, "Clear", false}};
inline constexpr BarItem kPendingPopupItems[] = {
    {100060, "Edit Order", false},
    {100059, "Cancel Order", true},
};
inline constexpr BarTable kContextBars[] = {
    {kBarAccountsPopup, "Accounts Popup", kAccountsPopupItems},
    {kBarTradePopup, "trade Popup", kTradePopupItems},
    {kBarJournalPopup, "Journal popup", kJournalPopupItems},
    {kBarPendingPopup, "Pending", kPendingPopupItems},
};

// ---- Toolbars (simple interface), both with bar id 100028 ----

inline constexpr BarItem kStandardToolbarItems[] = {
    {100013, "New Position", false},   {100036, "New Entry Order", false},
    {100054, "Close Position", false}, {100011, "Accounts list", true},
    {100063, "Market Watch", true},    {100042, "Journal", true},
    {100043, "Trade", false},          {100062, "Pending Orders", false},
    {100061, "Net Trade", false},      {100078, "Pro Interface", true},
};
inline constexpr BarItem kLoginToolbarItems[] = {
    {100018, "&Login ", false},
    {100032, "L&ogin All Accounts   Ctrl+Shift+L", false},
    {100019, "Logo&ut ", true},
    {100033, "Logou&t All Accounts Alt+L", false},
    {100020, "&Remove Account", true},
    {100034, "Remo&ve All Accounts", false},
    {100029, "Add Account  Ctrl+L", false},
};
inline constexpr BarTable kToolBars[] = {
    {kBarToolBars, "Standard Toolbar", kStandardToolbarItems},
    {kBarToolBars, "Login Toolbar", kLoginToolbarItems},
};

// ---- Ribbon (pro interface) ----

inline constexpr const char* kRibbonName = "Ribbon Bar";
inline constexpr const char* kSystemCaption = "&File";
inline constexpr BarItem kSystemItems[] = {
    {100018, "&Login", false, "Login to System", "Controls"},
    {100019, "Logo&ut", false, "Logout from System", "Controls"},
    {100066, "E&xit System", true, "Close the System", "Controls"},
};
inline constexpr BarItem kTradePanelItems[] = {
    {100011, "&Account List", false, "Account List", "View Menu"},
    {100042, "&Journal", false, "Journal", "View Menu"},
    {100062, "&Pending Order", false, "Pending Order", "View Menu"},
    {100043, "&Trade", false, "Trade", "View Menu"},
    {100061, "&Net Trade", false, "Net Trade", "View Menu"},
};

inline constexpr BarItem kAdministrationItems[] = {
    {100018, "&Login", false},          {100032, "Login &ALL Accounts", false},
    {100019, "Log&out", false},         {100033, "Logo&ut ALL Accounts", false},
    {100020, "&Remove Account", false}, {100034, "Remo&ve ALL Accounts", false},
    {100057, "&Add Accounts", false},
};
inline constexpr BarItem kExitItems[] = {{100066, "E&xit System", false}};
inline constexpr BarItem kShowHideItems[] = {
    {100013, "New Position", false},
    {100036, "New Entry Order", false},
    {100054, "Close Position", false},
    {100063, "Market Watch", false},
    {100076, "&Trade Panel", false, "", "", kTypeSplitButton},
};
inline constexpr BarItem kInterfaceItems[] = {
    {100027, "&Reset Interface", false},
    {100077, "&Simple Interface", false},
};
inline constexpr BarItem kDocumentationItems[] = {{100009, "&General Help Topics", false}};
inline constexpr BarItem kAboutItems[] = {{100010, "&About", false}};

// The split button's drop-down.
constexpr int32_t kTradePanelSplit = kCmdShowAll;

inline constexpr BarTable kHomeGroups[] = {
    {13252, "Administration", kAdministrationItems},
    {13253, "Exit", kExitItems},
};
inline constexpr BarTable kViewGroups[] = {
    {13254, "Show / Hide Windows", kShowHideItems},
    {13255, "System Interface", kInterfaceItems},
};
inline constexpr BarTable kHelpGroups[] = {
    {13259, "Documentations", kDocumentationItems},
    {13261, "About", kAboutItems},
};

struct RibbonTabTable {
    const char* caption;
    std::span<const BarTable> groups;
};
inline constexpr RibbonTabTable kRibbonTabs[] = {
    {"&Home", kHomeGroups},
    {"&View", kViewGroups},
    {"Hel&p", kHelpGroups},
};

// ---- Window actions, in registration order (100013 twice: the later text stands) ----

struct ActionRow {
    int32_t id;
    const char* text;
};
// The last row is the drop-down button's own checked state, shared by its controls.
inline constexpr ActionRow kWindowActions[] = {
    {100061, "Net Trade"},    {100054, "Close Position"},  {100011, "Accounts List"},
    {100013, "New Order"},    {100036, "New Entry Order"}, {100013, "New Position"},
    {100042, "Journal"},      {100043, "Trade"},           {100062, "Pending Order"},
    {100063, "Market Watch"}, {100076, "&Trade Panel"},
};
inline constexpr const char* kWindowActionCategory = "com";

// ---- Key bindings: flags 4 Shift, 8 Ctrl, 16 Alt; letters by character, 112.. F1.. ----

struct KeyBinding {
    int32_t flags;
    int32_t keyCode;
    int32_t id;
};
inline constexpr KeyBinding kKeyBindings[] = {
    {8, 'L', 100029}, {8, 'R', 100027}, {16, 'L', 100033}, {12, 'L', 100032},
    {0, 116, 100047}, {0, 112, 100009}, {16, 115, 100008},
};

// ---- Status bar ----

struct StatusPaneRow {
    int32_t id;
    int32_t width;  // 0: stretches
};
inline constexpr StatusPaneRow kStatusPanes[] = {
    {100021, 0},           {100022, 30},
    {100023, 60},          {kStatusServerTime, 130},
    {kStatusProgress, 90}, {kStatusConnection, 90},
};

// ---- Images under "\images and icons\QDsk\": icons first, then pictures ----

struct ImageRow {
    const char* file;
    int32_t id;
};
inline constexpr const char* kImageFolder = "\\images and icons\\QDsk\\";
inline constexpr ImageRow kIcons[] = {
    {"PicLS.ico", 100036},
    {"PicNO.ico", 100013},
    {"PicAccount.ico", 100011},
    {"PicShowAll.ico", 100076},
    {"InterfaceImg.ico", 100078},
    {"mnusaveas.ico", 100006},
    {"PicResetInterface.ico", 100027},
    {"PicLogon.ico", 100029},
    {"mnuLogin.ico", 100026},
    {"mnu_Login.ico", 100018},
    {"mnuremove.ico", 100020},
    {"mnuremoveall.ico", 100034},
    {"mnulogoutall.ico", 100033},
    {"mnulogout.ico", 100019},
    {"PicJournal.ico", 100042},
    {"PicTerminal.ico", 100043},
    {"PicTerminal.ico", 100043},
    {"pending1.ico", 100062},
    {"PicNetTrade.ico", 100061},
    {"Close ordedr.ico", 100054},
    {"PicLogon.ico", 100057},
    {"PicSymbol.ico", 100063},
    {"PicHelp.ico", 100009},
    {"PicAbout.ico", 100010},
    {"mnu_Exit.ico", 100066},
    {"mnu_Login.ico", 100032},
    {"PicAsk.ico", 100067},
    {"CrosshairsImg.ico", 100068},
    {"PicGrid.ico", 100069},
    {"PicBitmap.ico", 100070},
    {"PicPrint.ico", 100071},
    {"PicList.ico", 100072},
    {"PicClear.ico", 100073},
    {"chat.ico", 100075},
    {"PicHotkey.ico", 100074},
};
inline constexpr ImageRow kPictures[] = {
    {"logo.png", 5001},           {"mnu_Exit.png", 100066},
    {"PicHelp.png", 100009},      {"PicAbout.png", 100010},
    {"mnu_Exit.png", 100066},     {"mnu_Login.png", 100032},
    {"PicAsk.png", 100067},       {"CrosshairsImg.png", 100068},
    {"PicGrid.png", 100069},      {"PicBitmap.png", 100070},
    {"PicPrint.png", 100071},     {"PicList.png", 100072},
    {"PicClear.png", 100073},     {"chat.png", 100075},
    {"PicHotkey.png", 100074},    {"PicResetInterface.png", 100027},
    {"InterfaceImg.png", 100077}, {"PicLogon.png", 100029},
    {"PicLogon.png", 100057},     {"PicLogon.png", 100013},
    {"PicLS.png", 100036},        {"PicSymbol.png", 100063},
    {"PicSymbol.png", 100063},    {"PicShowAll.png", 100076},
};

}  // namespace OrbanexDesk
