#include "Settings.h"

#include <wx/config.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/stdpaths.h>

#include "DailyGoal.h"
#include "SettingTexts.h"

namespace {

#ifndef __WXMSW__
// $XDG_CONFIG_HOME/trekline.conf, or ~/.config/trekline.conf.
wxFileName SettingsFile() {
    wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
    return wxFileConfig::GetLocalFile("trekline");
}
#endif

std::unique_ptr<wxConfigBase> OpenUserSettings() {
#ifdef __WXMSW__
    return std::make_unique<wxConfig>("Trekline", "Trekline");
#else
    const wxFileName file = SettingsFile();
    // Opening a FIFO or a device in the file's place would hang the start,
    // and a directory there cannot be read: the settings then live only as
    // long as the window.
    if (file.Exists(wxFILE_EXISTS_ANY) && !file.FileExists())
        return std::make_unique<wxFileConfig>("trekline", wxEmptyString, wxEmptyString,
                                              wxEmptyString, 0);
    return std::make_unique<wxFileConfig>("trekline", wxEmptyString, file.GetFullPath(),
                                          wxEmptyString, wxCONFIG_USE_LOCAL_FILE);
#endif
}

// The settings' directory, made for the user alone as XDG asks, when a
// setting is first kept rather than by a start that changes nothing.
void MakeSettingsDirectory() {
#ifndef __WXMSW__
    const wxFileName file = SettingsFile();
    if (!file.DirExists())
        wxFileName::Mkdir(file.GetPath(), wxS_IRUSR | wxS_IWUSR | wxS_IXUSR, wxPATH_MKDIR_FULL);
#endif
}

} // namespace

Settings::Settings() {
    // The toolkit words what it cannot read or write in message boxes; the
    // user's settings are not worth one.
    wxLogNull quiet;
    // The reader asserts on a line with nothing before its "=", which a
    // damaged or hand-edited file may hold; it keeps such a line as it is,
    // harming nothing, so the check is off while the file is read.
    const wxAssertHandler_t asserts = wxSetAssertHandler(nullptr);
    config_ = OpenUserSettings();
    wxSetAssertHandler(asserts);
    // Kept texts are taken as written: "$HOME" is no step length.
    config_->SetExpandEnvVars(false);
}

Settings::~Settings() {
    wxLogNull quiet;
    config_.reset();
}

std::string Settings::StepLengthText() const {
    return std::to_string(ReadStepLengthSetting(Kept(kStepLengthKey)).value_or(kDefaultStepLength));
}

bool Settings::ChartValues() const {
    return ReadFlagSetting(Kept(kChartValuesKey)).value_or(false);
}

std::uint32_t Settings::DailyGoal() const {
    return ParseDailyGoal(Kept(kDailyGoalKey)).value_or(kDefaultDailyGoal);
}

void Settings::KeepStepLength(std::string_view editText) {
    Keep(kStepLengthKey, StepLengthSetting(editText));
}

void Settings::KeepChartValues(bool ticked) {
    Keep(kChartValuesKey, FlagSetting(ticked));
}

void Settings::KeepDailyGoal(std::uint32_t goal) {
    Keep(kDailyGoalKey, std::to_string(goal));
}

std::string Settings::Kept(const char* key) const {
    wxLogNull quiet;
    wxString text;
    config_->Read(key, &text);
    return text.utf8_string();
}

void Settings::Keep(const char* key, std::string_view text) {
    wxLogNull quiet;
    // Written at once, so that a window ended any way at all has kept it.
    config_->Write(key, wxString::FromUTF8(text.data(), text.size()));
    MakeSettingsDirectory();
    config_->Flush();
}
