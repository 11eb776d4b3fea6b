// The settings dialog as an operator uses it: presets, what each monitor
// type enables, reading the entries back (with clamping, the printer colon
// and the display default), and OK, Cancel and Esc.
#include <gtest/gtest.h>

#include <string.h>

#include "basesys.h"
#include "monopen/core/resource.h"
#include "monserver.h"
#include "opener.h"

using namespace gv;

namespace {

enum {
    InUse = IDC_IN_USE, SettingNumber = IDC_SETTING_NUMBER, SettingLabel = IDC_SETTING_NUMBER_LABEL,
    TypeGroup = IDC_TYPE_GROUP, VsLocal = IDC_TYPE_VS_LOCAL, VsRemote = IDC_TYPE_VS_REMOTE,
    XMonitor = IDC_TYPE_X, NodeGroup = IDC_NODE_GROUP, NodeLabel = IDC_NODE_LABEL, Node = IDC_NODE,
    DisplayLabel = IDC_DISPLAY_LABEL, Display = IDC_DISPLAY, Application = IDC_APPLICATION,
    ApplicationLabel = IDC_APPLICATION_LABEL, MonitorLabel = IDC_APPLICATION_MONITOR_LABEL,
    ApplicationMonitor = IDC_APPLICATION_MONITOR, SizeLabel = IDC_PICTURE_SIZE_LABEL,
    PictureSize = IDC_PICTURE_SIZE, PrinterLabel = IDC_PRINTER_LABEL, Printer = IDC_PRINTER
};

const int Switched[] = {SettingNumber, SettingLabel, TypeGroup, VsLocal, VsRemote, XMonitor,
                        Application, ApplicationMonitor, ApplicationLabel, MonitorLabel,
                        PictureSize, SizeLabel, NodeGroup, NodeLabel, Node, Display,
                        DisplayLabel, Printer, PrinterLabel};

std::string Ids(std::initializer_list<int> ids)
{
    std::string text;
    for (int id : ids)
        text += std::to_string(id) + " ";
    return text;
}

// Controls enabled per mode (VS Local, VS Remote, X, pre-defined), in Switched's order.
std::string Expected(int mode)
{
    const std::string types = Ids({TypeGroup, VsLocal, VsRemote, XMonitor, Application,
                                   ApplicationMonitor, ApplicationLabel, MonitorLabel,
                                   PictureSize, SizeLabel});
    const std::string node = Ids({NodeGroup, NodeLabel, Node});
    const std::string display = Ids({Display, DisplayLabel});
    const std::string on[] = {types, types + node + display + Ids({Printer, PrinterLabel}),
                              types + node + display, Ids({SettingNumber, SettingLabel}) + node};
    return on[mode];
}

std::string Enabled(HWND dialog)
{
    std::string on;
    for (int id : Switched)
        if (ItemEnabled(dialog, id))
            on += Ids({id});
    return on;
}

// The string of a request that starts with the name, or "".
std::string Field(const std::string &request, const std::string &name)
{
    size_t at = 0;
    while (at < request.size()) {
        std::string s = request.substr(at, request.find('\0', at) - at);
        if (s.compare(0, name.size(), name) == 0)
            return s;
        at += s.size() + 1;
    }
    return "";
}

class SettingsDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(SetUpInstallation(InstallRoot)); }

    ChildGuard opener;
    MonitorServer server;
    HWND dialog = NULL;

    void Open(const std::string &arguments = "")
    {
        StartOptions options;
        options.env.push_back("WINEDEBUG=warn+debugstr");
        ASSERT_TRUE(StartOpener(opener.child, arguments, options));
        dialog = WaitForDialog(opener.child.pid, OpenerCaption, Node, ProgramStartMs);
        ASSERT_NE(nullptr, dialog) << DescribeWindows(opener.child.pid);
    }

    bool Click(int id)
    {
        ClickControl(dialog, id);
        return WaitUntil([&] { return ItemChecked(dialog, id) || id == InUse; }, LoadMarginMs);
    }

    // Presses OK and waits for the program to end.
    void OkAndEnd()
    {
        ClickButton(dialog, IDOK);
        ASSERT_TRUE(WaitExitCode(opener.child, LoadMarginMs, 0));
    }

    // Presses OK and reads the message the attempt ends with.
    std::string OkAndMessage()
    {
        ClickButton(dialog, IDOK);
        return DismissMessageBox(opener.child.pid, OpenerCaption, LoadMarginMs);
    }
};

TEST_F(SettingsDialog, PresetsOfAPlainStart)
{
    Open();
    EXPECT_TRUE(ItemChecked(dialog, VsLocal));
    EXPECT_FALSE(ItemChecked(dialog, VsRemote) || ItemChecked(dialog, XMonitor));
    EXPECT_FALSE(ItemChecked(dialog, InUse));
    EXPECT_EQ("", ItemText(dialog, SettingNumber));
    EXPECT_EQ(ComputerName(), ItemText(dialog, Node));
    EXPECT_EQ(ComputerName() + ":0", ItemText(dialog, Display));
    EXPECT_EQ("LPT1:", ItemText(dialog, Printer));
    EXPECT_EQ(Expected(0), Enabled(dialog));

    std::vector<std::string> sizes = ComboBoxLines(GetDlgItem(dialog, PictureSize));
    EXPECT_EQ((std::vector<std::string>{"640 by 480 pixels", "960 by 720 pixels",
                                        "1280 by 960 pixels", "1600 by 1200 pixels"}),
              sizes);
    EXPECT_EQ("640 by 480 pixels", ComboBoxSelectedText(GetDlgItem(dialog, PictureSize)));

    std::vector<std::string> monitors = ComboBoxLines(GetDlgItem(dialog, ApplicationMonitor));
    ASSERT_EQ(101u, monitors.size());
    EXPECT_EQ("Default", monitors[0]);
    EXPECT_EQ("100", monitors[100]);
    EXPECT_EQ("Default", ComboBoxSelectedText(GetDlgItem(dialog, ApplicationMonitor)));
    std::vector<std::string> applications = ComboBoxLines(GetDlgItem(dialog, Application));
    ASSERT_EQ(251u, applications.size());
    EXPECT_EQ("1", applications[1]);
    EXPECT_EQ("250", applications[250]);
    EXPECT_EQ("Default", ComboBoxSelectedText(GetDlgItem(dialog, Application)));
}

TEST_F(SettingsDialog, Layout)
{
    Open();
    DWORD style = WindowStyle(dialog);
    EXPECT_EQ(0u, style & WS_SYSMENU) << "no system menu, so no close box";
    EXPECT_NE(0u, style & WS_CAPTION);
    HWND main = ProcessWindow(opener.child.pid, "CPanel", OpenerCaption);
    EXPECT_TRUE(main != NULL && !IsWindowVisible(main)) << "the main window, hidden";
    for (int id : {SettingNumber, Node, Display, Printer}) {
        HWND edit = GetDlgItem(dialog, id);
        EXPECT_NE(0u, WindowStyle(edit) & ES_AUTOHSCROLL) << id;
        bool bordered = (WindowStyle(edit) & WS_BORDER) ||
                        (GetWindowLongPtrA(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_TRUE(bordered) << id;
    }
    EXPECT_EQ((DWORD)CBS_DROPDOWN, WindowStyle(GetDlgItem(dialog, Application)) & 3);
    EXPECT_EQ((DWORD)CBS_DROPDOWN, WindowStyle(GetDlgItem(dialog, ApplicationMonitor)) & 3);
    EXPECT_EQ((DWORD)CBS_DROPDOWNLIST, WindowStyle(GetDlgItem(dialog, PictureSize)) & 3);
    EXPECT_EQ((DWORD)BS_DEFPUSHBUTTON, WindowStyle(GetDlgItem(dialog, IDOK)) & 0xF);

    const struct {
        int id;
        const char *text;
        RECT at; // x, y, width, height
    } controls[] = {
        {InUse, "In Use", {16, 19, 39, 10}},
        {SettingLabel, "Setting #:", {146, 19, 33, 8}},
        {SettingNumber, nullptr, {181, 16, 40, 14}},
        {TypeGroup, "Monitor Type", {7, 39, 62, 50}},
        {VsLocal, "VS Local", {12, 50, 45, 10}},
        {VsRemote, "VS Remote", {12, 63, 52, 10}},
        {XMonitor, "X", {12, 76, 21, 10}},
        {NodeGroup, "Network Node Name", {78, 39, 153, 50}},
        {NodeLabel, "Gridvane:", {83, 54, 45, 8}},
        {DisplayLabel, "Display:", {83, 71, 26, 8}},
        {Node, nullptr, {129, 50, 96, 14}},
        {Display, nullptr, {129, 68, 96, 14}},
        {ApplicationLabel, "Application #:", {11, 98, 44, 8}},
        {Application, nullptr, {57, 95, 48, -1}},
        {MonitorLabel, "Application Monitor #:", {111, 98, 72, 8}},
        {ApplicationMonitor, nullptr, {184, 95, 48, -1}},
        {SizeLabel, "Picture Size:", {11, 118, 45, 8}},
        {PictureSize, nullptr, {57, 116, 89, -1}},
        {IDOK, "OK", {243, 7, 50, 14}},
        {IDCANCEL, "Cancel", {243, 25, 50, 14}},
        {PrinterLabel, "VS Printer:", {11, 138, 45, 8}},
        {Printer, nullptr, {57, 136, 174, 14}},
    };
    for (const auto &c : controls) {
        HWND control = GetDlgItem(dialog, c.id);
        ASSERT_NE(nullptr, control) << c.id;
        UnitRect u = PlaceInDialogUnits(dialog, 300, 162, control);
        EXPECT_NEAR(c.at.left, u.x, 1) << c.id;
        EXPECT_NEAR(c.at.top, u.y, 1) << c.id;
        EXPECT_NEAR(c.at.right, u.width, 1) << c.id;
        if (c.at.bottom >= 0) { // a combo box's height is its drop-down list's
            EXPECT_NEAR(c.at.bottom, u.height, 1) << c.id;
        }
        if (c.text != nullptr) {
            EXPECT_EQ(c.text, WindowText(control)) << c.id;
        }
    }
    HWND frame = GetWindow(GetDlgItem(dialog, InUse), GW_HWNDPREV);
    EXPECT_EQ("Pre Defined Monitor", WindowText(frame));
    UnitRect u = PlaceInDialogUnits(dialog, 300, 162, frame);
    EXPECT_NEAR(7, u.x, 1);
    EXPECT_NEAR(224, u.width, 1);
}

TEST_F(SettingsDialog, EachModeEnablesItsControls)
{
    Open();
    const struct { int click, mode; const char *what; } steps[] = {
        {XMonitor, 2, "X"}, {VsRemote, 1, "VS Remote"}, {InUse, 3, "In Use"},
        {InUse, 1, "unchecked, back to VS Remote"}, {VsLocal, 0, "VS Local"}};
    for (const auto &step : steps) {
        ASSERT_TRUE(Click(step.click)) << step.what; /* always true for In Use */
        EXPECT_TRUE(WaitUntil([&] { return Enabled(dialog) == Expected(step.mode); }, LoadMarginMs))
            << step.what << ": " << Enabled(dialog);
    }
}

TEST_F(SettingsDialog, StartOptionsKeepRemoteAndXOff)
{
    for (const char *option : {"-start_serv", "-start_as_logon_user"}) {
        Open(option);
        EXPECT_FALSE(ItemEnabled(dialog, VsRemote)) << option;
        EXPECT_FALSE(ItemEnabled(dialog, XMonitor)) << option;
        EXPECT_TRUE(ItemEnabled(dialog, VsLocal)) << option;
        Click(InUse);
        Click(InUse);
        EXPECT_TRUE(WaitUntil([&] { return ItemEnabled(dialog, Application); }, LoadMarginMs));
        EXPECT_FALSE(ItemEnabled(dialog, VsRemote)) << option << " after In Use";
        EXPECT_FALSE(ItemEnabled(dialog, XMonitor)) << option << " after In Use";
        ClickButton(dialog, IDCANCEL);
        ASSERT_TRUE(WaitExit(opener.child, LoadMarginMs, NULL));
        Release(opener.child);
    }
}

TEST_F(SettingsDialog, PictureSizeFromTheCommandLine)
{
    Open("-s 3");
    EXPECT_EQ("1280 by 960 pixels", ComboBoxSelectedText(GetDlgItem(dialog, PictureSize)));
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitExit(opener.child, LoadMarginMs, NULL));
    Release(opener.child);
    Open("-s 9");
    EXPECT_EQ("640 by 480 pixels", ComboBoxSelectedText(GetDlgItem(dialog, PictureSize)))
        << "out of range: the first size";
}

TEST_F(SettingsDialog, VsLocalRequestFromTheDialog)
{
    ASSERT_TRUE(server.Start());
    Open();
    ComboBoxSelect(dialog, PictureSize, 1);
    ComboBoxSelect(dialog, Application, 12);
    SetItemText(dialog, ApplicationMonitor, "7");
    OkAndEnd();
    ASSERT_EQ(1u, server.Requests().size());
    const std::string request = server.Requests()[0];
    EXPECT_EQ("RTD LVS KPX_MS_WINDOWS_APPLICATION=12", Field(request, "RTD"));
    EXPECT_EQ("KPX_MS_WINDOWS_MONITOR=7", Field(request, "KPX_MS_WINDOWS_MONITOR"));
    EXPECT_EQ("KPX_X_TERMINAL_FONT=family:Gridvane1215-size:15",
              Field(request, "KPX_X_TERMINAL_FONT"));
    EXPECT_EQ("DISPLAY=", Field(request, "DISPLAY"));
}

TEST_F(SettingsDialog, NumbersAboveTheirRangeAreBroughtBack)
{
    ASSERT_TRUE(server.Start());
    Open();
    SetItemText(dialog, ApplicationMonitor, "150");
    SetItemText(dialog, Application, "4294967295");
    ClickButton(dialog, IDOK);
    EXPECT_TRUE(
        WaitUntil([&] { return ItemText(dialog, ApplicationMonitor) == "100"; }, LoadMarginMs))
        << "shows " << ItemText(dialog, ApplicationMonitor);
    EXPECT_TRUE(WaitUntil([&] { return ItemText(dialog, Application) == "250"; }, LoadMarginMs))
        << "a value beyond 2^31 is brought back too: " << ItemText(dialog, Application);
    EXPECT_TRUE(WaitUntil([&] { return ItemEnabled(dialog, IDOK); }, LoadMarginMs));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_TRUE(server.Requests().empty()) << "nothing is sent after a correction";
    EXPECT_EQ(nullptr, WaitForMessageBox(opener.child.pid, OpenerCaption, 0)) << "only a beep";
    OkAndEnd();
    ASSERT_EQ(1u, server.Requests().size());
    EXPECT_EQ("KPX_MS_WINDOWS_MONITOR=100", Field(server.Requests()[0], "KPX_MS_WINDOWS_MONITOR"));
    EXPECT_EQ("RTD LVS KPX_MS_WINDOWS_APPLICATION=250", Field(server.Requests()[0], "RTD"));
}

TEST_F(SettingsDialog, VsRemotePrinterGetsItsColon)
{
    ASSERT_TRUE(server.Start());
    Open();
    ASSERT_TRUE(Click(VsRemote));
    SetItemText(dialog, Printer, "LPT2");
    size_t mark = MarkUnixStderr();
    OkAndEnd();
    ASSERT_EQ(1u, server.Requests().size()) << "this computer's node goes to the local pipe";
    const std::string request = server.Requests()[0];
    EXPECT_EQ("PRINTFILE=LPT2:", Field(request, "PRINTFILE"));
    EXPECT_EQ("DISPLAY=" + ComputerName() + ":0", Field(request, "DISPLAY"));
    EXPECT_EQ("KPX_X_TERMINAL_FONT=-orvo-tessel-medium-r-normal--10-100-75-75-c-100-iso8859-1",
              Field(request, "KPX_X_TERMINAL_FONT"));
    EXPECT_NE(std::string::npos,
              UnixStderrSince(mark).find("OutputDebugStringA \"PrepareXDisplay exceed\\n\""))
        << "the X display hook runs for a VS Remote monitor";
}

TEST_F(SettingsDialog, FailedAttemptKeepsTheEntries)
{
    Open();
    ASSERT_TRUE(Click(XMonitor));
    SetItemText(dialog, Display, "");
    SetItemText(dialog, Node, ComputerName());
    SetItemText(dialog, ApplicationMonitor, "42");
    EXPECT_EQ("Could not establish a connection to the Gridvane base system computer (2).",
              OkAndMessage());
    EXPECT_TRUE(WaitUntil([&] { return ItemEnabled(dialog, IDOK) && ItemEnabled(dialog, IDCANCEL); },
                          LoadMarginMs));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_TRUE(ItemChecked(dialog, XMonitor));
    EXPECT_EQ("", ItemText(dialog, Display)) << "the field keeps showing what was typed";
    EXPECT_EQ("42", ItemText(dialog, ApplicationMonitor));

    ASSERT_TRUE(server.Start());
    OkAndEnd();
    ASSERT_EQ(1u, server.Requests().size());
    EXPECT_EQ("DISPLAY=localpc:0", Field(server.Requests()[0], "DISPLAY"));
    EXPECT_EQ("RTD XMONKPX_X_TERMINAL_APPLICATION=0", Field(server.Requests()[0], "RTD"));
}

TEST_F(SettingsDialog, PredefinedSettingThatIsNoNumber)
{
    ASSERT_TRUE(server.Start());
    Open();
    Click(InUse);
    ASSERT_TRUE(WaitUntil([&] { return ItemEnabled(dialog, SettingNumber); }, LoadMarginMs));
    SetItemText(dialog, SettingNumber, "abc");
    OkAndEnd();
    ASSERT_EQ(1u, server.Requests().size());
    EXPECT_EQ(Bytes("DEF   0 \0", 9), server.Requests()[0]);
}

TEST_F(SettingsDialog, ButtonsAreOffWhileTheBaseSystemAnswers)
{
    MonitorServerScript silent;
    silent.neverAnswer = true;
    ASSERT_TRUE(server.Start(silent));
    Open();
    ClickButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return server.Requests().size() == 1; }, LoadMarginMs));
    EXPECT_FALSE(ItemEnabled(dialog, IDOK));
    EXPECT_FALSE(ItemEnabled(dialog, IDCANCEL));
    server.Stop(); // the base system goes away without an answer
    EXPECT_EQ("Could not read data from Gridvane 1 (109).",
              DismissMessageBox(opener.child.pid, OpenerCaption, LoadMarginMs));
    EXPECT_TRUE(WaitUntil([&] { return ItemEnabled(dialog, IDOK) && ItemEnabled(dialog, IDCANCEL); },
                          LoadMarginMs));
}

TEST_F(SettingsDialog, CancelAndEscapeSendNothing)
{
    ASSERT_TRUE(server.Start());
    Open();
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitExitCode(opener.child, LoadMarginMs, 0));
    Release(opener.child);

    Open();
    PressKey(dialog, VK_ESCAPE);
    ASSERT_TRUE(WaitExitCode(opener.child, LoadMarginMs, 0)) << "Esc did not end the program";
    EXPECT_EQ(0, server.Connections());
}

} // namespace
