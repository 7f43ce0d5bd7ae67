#pragma once

#include <cstdint>
#include <string>

#include "session/ScreenLogic.h"

namespace zelvo {

// The folder of the backups: "backup" in the installation's local folder (the data
// directory, or for a server "Zelvo" in the user's home).
std::string BackupFolder(const std::string& dataDirectory);
// Where a backup named as the operator writes it goes: the drive ("A:") is dropped, the
// backslashes become folders, and the file lands in the backup folder with the extension
// ".zip".
std::string BackupPath(const std::string& dataDirectory, const std::string& name);
// Backups to drive A are written in volumes, as on removable disks.
bool IsRemovableDrive(const std::string& name);

// BACK1: one company's year, or the whole data directory, into one backup file.
class BackupScreen : public ScreenLogic {
  public:
    static constexpr const char* kCompany = "Combo1";
    static constexpr const char* kYear = "Combo2";
    static constexpr const char* kFile = "TEXT1";
    static constexpr const char* kVolume = "text2";
    static constexpr const char* kWholeDirectory = "Check3";
    static constexpr const char* kRun = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit BackupScreen(Session& session);
    void load() override;

  private:
    void companyChosen();
    void proposeName(bool unticked = false);
    void run();
    std::uint64_t volumeSize();
};

// BACK2: restores a backup file into the data directory.
class RestoreScreen : public ScreenLogic {
  public:
    static constexpr const char* kChoose = "Command1";
    static constexpr const char* kFile = "text1";
    static constexpr const char* kAsk = "Option1";
    static constexpr const char* kNoAsk = "Option2";
    static constexpr const char* kRun = "Command2";
    static constexpr const char* kCancel = "Command3";

    explicit RestoreScreen(Session& session);
    void load() override;

  private:
    void choose();
    void run();
};

}  // namespace zelvo
