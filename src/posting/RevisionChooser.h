#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "session/ScreenLogic.h"

namespace zelvo {

// The revision screens by causal: each takes the registration number it revises.
using RevisionFactory =
    std::function<std::unique_ptr<ScreenLogic>(Session&, const std::string& regNumber)>;
std::map<std::string, RevisionFactory>& RevisionScreens();

// AMC: chooses a posted registration and hands it to the revision screen of its causal, or
// annuls a year-end registration. annsr: chooses one the same way and, after a question,
// annuls it as its revision screen would remove it.
class RevisionChooser : public ScreenLogic {
  public:
    enum class Mode { Revise, Annul };

    static constexpr const char* kDate = "text1";
    static constexpr const char* kNumber = "text2";
    static constexpr const char* kList = "List1";
    static constexpr const char* kConfirm = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit RevisionChooser(Session& session, Mode mode = Mode::Revise);

    void load() override;
    void unload() override;

  private:
    void listDay();
    void listNumber();
    void add(const std::string& regNumber);
    void confirm();
    void annul(const std::string& number, const std::string& causal);
    void dropChosen(int i);
    void unavailable(const std::string& causal);

    Mode m_mode;
    std::vector<std::string> m_numbers;
};

}  // namespace zelvo
