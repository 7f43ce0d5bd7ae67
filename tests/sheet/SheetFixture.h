#pragma once

#include <memory>
#include <string>
#include <vector>

#include "masterdata/ChartFixture.h"

namespace zelvo::test {

// The program around a utility screen: remembers what it was asked to open.
class OpeningHost : public RecordingHost {
  public:
    void openScreen(const std::string& name) override { opened.push_back(name); }
    void openScreen(std::unique_ptr<ScreenLogic> screen, bool modal) override {
        opened.push_back(screen->layout().name + (modal ? " modal" : ""));
    }
    std::vector<std::string> opened;
};

// A chart fixture whose host records the screens opened, and the texts of the boxes shown.
class SheetFixture : public ChartFixture {
  protected:
    SheetFixture() { session.setHost(&opening); }

    std::vector<std::string> boxTexts() {
        std::vector<std::string> out;
        for (const auto& b : dialogs.boxes()) {
            out.push_back(b.text);
        }
        dialogs.clear();
        return out;
    }

    OpeningHost opening;
};

}  // namespace zelvo::test
