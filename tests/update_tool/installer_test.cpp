// The installer and its uninstaller, silent, under wine: the files, the Start
// menu shortcut, the sign-in entry only when chosen, the user's files kept.
#include <shlobj.h>
#include <windows.h>

#include <gtest/gtest.h>

#include "update_tool/win32_test_support.h"

namespace skyvigil::testing {
namespace {

namespace fs = std::filesystem;

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Skyvigil";

fs::path KnownFolder(const KNOWNFOLDERID& id) {
  PWSTR path = nullptr;
  ::SHGetKnownFolderPath(id, 0, nullptr, &path);
  const fs::path folder(path);
  ::CoTaskMemFree(path);
  return folder;
}

std::wstring UserValue(const wchar_t* key, const wchar_t* name) {
  wchar_t value[1024] = L"(none)";
  DWORD size = sizeof(value);
  ::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, value, &size);
  return value;
}

// The shortcut's target and working folder, as Explorer reads them.
std::wstring ReadShortcut(const fs::path& file) {
  IShellLinkW* link = nullptr;
  IPersistFile* persist = nullptr;
  wchar_t target[MAX_PATH] = L"", folder[MAX_PATH] = L"";
  if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
      SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
    link->GetPath(target, MAX_PATH, nullptr, 0);
    link->GetWorkingDirectory(folder, MAX_PATH);
  }
  if (persist)
    persist->Release();
  if (link)
    link->Release();
  return std::wstring(target) + L" in " + folder;
}

class InstallerTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
    ::CoUninitialize();
  }

  const fs::path folder_ = KnownFolder(FOLDERID_LocalAppData) / "Programs" / "Skyvigil";
  const fs::path shortcut_ = KnownFolder(FOLDERID_Programs) / "Skyvigil.lnk";
};

TEST_P(InstallerTest, InstallsForTheUserAndUninstallsKeepingTheirFiles) {
  const bool sign_in = GetParam();
  const fs::path setup = fs::path(SKYVIGIL_TEST_SETUP).make_preferred();
  ASSERT_EQ(RunToEnd(L"\"" + setup.wstring() + L"\" /S" + (sign_in ? L" /AUTOSTART" : L""),
                     setup.parent_path()),
            0);

  std::vector<std::string> names;
  for (const auto& [name, bytes] : Snapshot(folder_))
    names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"LICENSE.txt", "README.txt", "Skyvigil.exe",
                                             "snd/alert.wav", "snd/condition.wav", "snd/down.wav",
                                             "snd/up.wav", "uninstall.exe", "updater.exe"}));
  EXPECT_EQ(ReadShortcut(shortcut_),
            (folder_ / "Skyvigil.exe").wstring() + L" in " + folder_.wstring());
  EXPECT_EQ(UserValue(kUninstallKey, L"DisplayVersion"), L"" SKYVIGIL_VERSION);
  const std::wstring run = L"\"" + (folder_ / "Skyvigil.exe").wstring() + L"\"";
  EXPECT_EQ(UserValue(kRunKey, L"Skyvigil"), sign_in ? run : L"(none)");

  WriteAll(folder_ / "prefs.ini", "my prefs");
  WriteAll(folder_ / "cities.json", "my cities");
  ASSERT_EQ(RunToEnd(L"\"" + (folder_ / "uninstall.exe").wstring() + L"\" /S", folder_), 0);
  EXPECT_EQ(Snapshot(folder_), (std::map<std::string, std::string>{{"cities.json", "my cities"},
                                                                   {"prefs.ini", "my prefs"}}));
  EXPECT_FALSE(fs::exists(shortcut_));
  EXPECT_EQ(UserValue(kRunKey, L"Skyvigil"), L"(none)");
  EXPECT_EQ(UserValue(kUninstallKey, L"DisplayVersion"), L"(none)");
}

INSTANTIATE_TEST_SUITE_P(SignIn, InstallerTest, ::testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "StartedAtSignIn" : "NotStartedAtSignIn");
});

}  // namespace
}  // namespace skyvigil::testing
