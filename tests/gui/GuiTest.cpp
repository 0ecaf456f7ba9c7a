#include "GuiTest.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include <wx/app.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>

#include "app/CommandTable.h"
#include "app/MainFrame.h"
#include "app/V7App.h"
#include "host/registry.h"
#include "resources/StringTable.h"
#include "station/StationConfiguration.h"

namespace guitest {

bool HaveDisplay() { return wxTheApp != nullptr; }

int UnexpectedDialogGuard::Enter(wxDialog* dialog) {
    wxString what = dialog->GetTitle();
    if (auto* box = dynamic_cast<wxMessageDialog*>(dialog)) what = box->GetMessage();
    ADD_FAILURE() << "unexpected dialog: " << what.utf8_string();
    return wxID_CANCEL;
}

ExpectMessageBox ExpectMessageBox::Containing(wxString part, int answer) {
    ExpectMessageBox e(std::move(part), answer);
    e.m_partial = true;
    return e;
}

ExpectMessageBox::ExpectMessageBox(wxString message, int answer, std::function<void()> whileShown)
    : m_message(std::move(message)), m_answer(answer), m_whileShown(std::move(whileShown)) {
    m_description = "message box \"" + m_message.Left(40) + "\"";
}

int ExpectMessageBox::OnInvoked(wxMessageDialog* dialog) const {
    if (m_partial)
        EXPECT_NE(dialog->GetMessage().Find(m_message), wxNOT_FOUND) << dialog->GetMessage().utf8_string();
    else
        EXPECT_EQ(dialog->GetMessage().utf8_string(), m_message.utf8_string());
    EXPECT_EQ(dialog->GetCaption().utf8_string(), "V7");
    const long buttons = dialog->GetMessageDialogStyle() & (wxOK | wxYES_NO | wxCANCEL);
    EXPECT_EQ(buttons, m_answer == wxOK ? wxOK : wxYES_NO) << "buttons of \"" << m_message.utf8_string() << "\"";
    if (m_whileShown) m_whileShown();
    switch (m_answer) {
    case wxYES: return wxID_YES;
    case wxNO: return wxID_NO;
    case wxOK: return wxID_OK;
    default: return m_answer;
    }
}

wxString Text(unsigned id) {
    std::string text;
    EXPECT_TRUE(res::LoadString(id, text)) << "string " << id;
    return wxString::FromUTF8(text);
}

void PumpEvents() {
    for (int i = 0; i < 5; ++i) {
        wxTheApp->Yield(true);
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
    }
}

bool PumpUntil(const std::function<bool()>& done, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        PumpEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

CMainFrame* FindMainFrame() {
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* frame = dynamic_cast<CMainFrame*>(window); frame && !frame->IsBeingDeleted()) return frame;
    return nullptr;
}

bool PickMenuCommand(CMainFrame* frame, int systemCommand) {
    if (!IsMenuItemEnabled(frame, systemCommand)) return false;
    return frame->ProcessCommand(cmd::ToWxId(systemCommand));
}

bool IsMenuItemEnabled(CMainFrame* frame, int systemCommand) {
    frame->UpdateWindowUI();
    wxMenuItem* item = frame->GetMenuBar()->FindItem(cmd::ToWxId(systemCommand));
    return item && item->IsEnabled();
}

std::optional<std::vector<unsigned char>> RawValue(const std::string& keyPath, const char* name) {
    host::HKEY key = nullptr;
    if (host::RegOpenKeyEx(host::HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, host::KEY_READ, &key) != host::ERROR_SUCCESS)
        return std::nullopt;
    std::vector<unsigned char> data(4096);
    host::DWORD size = static_cast<host::DWORD>(data.size());
    const host::LONG status = host::RegQueryValueEx(key, name, nullptr, data.data(), &size);
    host::RegCloseKey(key);
    if (status != host::ERROR_SUCCESS) return std::nullopt;
    data.resize(size);
    return data;
}

std::string TextValue(const std::string& keyPath, const char* name) {
    auto data = RawValue(keyPath, name);
    if (!data) return "(missing)";
    std::string text(data->begin(), data->end());
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

std::pair<int, int> LaunchedValues() {
    auto byte = [](const std::string& path) {
        auto data = RawValue(path, "Launched");
        return data && data->size() == 1 ? static_cast<int>((*data)[0]) : -1;
    };
    return {byte(StationConfiguration::StationKeyPath(kStationNumber)),
            byte(StationConfiguration::BoardKeyPath(kBoardNumber))};
}

void GuiTest::SetUp() {
    if (!HaveDisplay()) GTEST_SKIP() << "no display (run under xvfb-run)";
    m_guard = std::make_unique<UnexpectedDialogGuard>();
    m_root = std::make_unique<TempHostRoot>();
}

void GuiTest::TearDown() {
    if (!m_root) return;
    EndProgram();
    m_drivers.reset();
    m_root.reset();
    m_guard.reset();
}

void GuiTest::InstallStation(bool autoLaunch) {
    for (const std::string& path : {std::string(kProductKey), StationConfiguration::BoardKeyPath(kBoardNumber),
                                    StationConfiguration::StationKeyPath(kStationNumber)}) {
        host::HKEY key = nullptr;
        ASSERT_EQ(host::RegCreateKey(host::HKEY_LOCAL_MACHINE, path.c_str(), &key), host::ERROR_SUCCESS);
        host::RegCloseKey(key);
    }
    StationConfiguration config;
    config.LoadConfiguration();
    config.BoardDetected = config.StationDetected = 1;
    config.BoardName = "V7 Board";
    config.StationName = "Station1";
    config.DefaultUser = "User1";
    config.CurrentUser = "[ None ]";
    config.AutoLaunch = autoLaunch ? 1 : 0;
    config.SaveConfiguration();
}

void GuiTest::StartDrivers(std::vector<std::string> args) {
    m_drivers = std::make_unique<RunningStationDrivers>(std::move(args));
    ASSERT_TRUE(m_drivers->Started()) << "v7-stationd did not start";
}

CMainFrame* GuiTest::StartProgram() {
    m_started = true;
    if (!wxGetApp().OnInit()) return nullptr;
    PumpEvents();
    return FindMainFrame();
}

void GuiTest::EndProgram() {
    for (wxWindow* window : wxTopLevelWindows) window->Destroy();
    PumpUntil([] { return wxTopLevelWindows.empty(); }, 5);
    if (m_started) wxGetApp().OnExit();
    m_started = false;
}

}  // namespace guitest
