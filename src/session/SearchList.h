#pragma once

#include <functional>
#include <string>
#include <vector>

#include "session/ScreenLogic.h"

namespace zelvo {

// The quick search of an account field (F5): a list of descriptions to choose from. The
// chosen one goes back to the field through `choose`; closing without choosing leaves the
// field as it was.
class SearchList : public ScreenLogic {
  public:
    static constexpr const char* kList = "List1";
    static constexpr const char* kOk = "Command1";
    static constexpr const char* kCancel = "Command2";

    SearchList(Session& session, std::vector<std::string> items,
               std::function<void(const std::string&)> choose);

    void load() override;

  private:
    void pick();

    std::vector<std::string> m_items;
    std::function<void(const std::string&)> m_choose;
};

}  // namespace zelvo
