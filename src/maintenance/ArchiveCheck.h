#pragma once

#include <string>
#include <vector>

#include "session/ScreenLogic.h"

namespace zelvo {

// VALL1 (verification) and VALL2 (index rebuild): the index tool runs on every archive of
// the company and year in use, of the company and of the installation, one line of List1
// each, and one box says whether any failed.
class ArchiveCheck : public ScreenLogic {
  public:
    enum class Kind { Verify, Rebuild };
    static constexpr const char* kList = "List1";
    static constexpr const char* kRun = "Command1";
    static constexpr const char* kCancel = "Command2";

    ArchiveCheck(Session& session, Kind kind);

    // The files the tools run on, in their order: the year's, the company's, the
    // installation's. The counters and the most-used accounts are not among them.
    static std::vector<std::string> Files(const Archives& archives);

  private:
    void run();
    Kind m_kind;
};

class ArchiveVerification : public ArchiveCheck {
  public:
    explicit ArchiveVerification(Session& session) : ArchiveCheck(session, Kind::Verify) {}
};

class IndexRebuild : public ArchiveCheck {
  public:
    explicit IndexRebuild(Session& session) : ArchiveCheck(session, Kind::Rebuild) {}
};

// VALL3: repairs one container chosen in a file dialog.
class ArchiveRepair : public ScreenLogic {
  public:
    static constexpr const char* kFile = "text1";
    static constexpr const char* kBrowse = "Command1";
    static constexpr const char* kRepair = "Command2";
    static constexpr const char* kList = "List1";
    static constexpr const char* kCancel = "Command3";

    explicit ArchiveRepair(Session& session);

  private:
    void browse();
    void repair();
};

}  // namespace zelvo
