#pragma once

// Helpers shared by the files of ScriptRunner: the interpreter loop, the commands that act on
// controls, and the expectations.

#include <QString>
#include <string>
#include <vector>

#include "base/Dialogs.h"

class QWidget;

namespace zelvo::drive {

using Kind = ScriptedDialogs::Event::Kind;

QString qs(const std::string& s);
std::string inQuotes(const std::string& s);
bool isBox(const ScriptedDialogs::Event& e);

std::string widgetText(QWidget* w);
std::vector<std::string> widgetItems(QWidget* w);

}  // namespace zelvo::drive
