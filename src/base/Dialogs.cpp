#include "base/Dialogs.h"

#include <algorithm>

namespace zelvo {

void ScriptedDialogs::message(const std::string& text, const std::string& title, Icon icon) {
    m_events.push_back({Event::Kind::Message, text, title, icon, false});
}

void ScriptedDialogs::beep() {
    m_events.push_back({Event::Kind::Beep, {}, {}, Icon::None, false});
}

Answer ScriptedDialogs::ask(const std::string& text, const std::string& title, Icon icon,
                            bool /*defaultNo*/) {
    Event e{Event::Kind::Question, text, title, icon, m_answers.empty()};
    m_events.push_back(e);
    if (m_answers.empty()) {
        return Answer::No;
    }
    Answer a = m_answers.front();
    m_answers.pop_front();
    return a;
}

std::optional<std::string> ScriptedDialogs::chooseFile(const FileRequest& request) {
    Event e{Event::Kind::File, request.title, request.filter, Icon::None, m_files.empty()};
    m_events.push_back(e);
    if (m_files.empty()) {
        return std::nullopt;
    }
    auto f = m_files.front();
    m_files.pop_front();
    return f;
}

std::vector<ScriptedDialogs::Event> ScriptedDialogs::boxes() const {
    std::vector<Event> out;
    std::copy_if(m_events.begin(), m_events.end(), std::back_inserter(out), [](const Event& e) {
        return e.kind == Event::Kind::Message || e.kind == Event::Kind::Question;
    });
    return out;
}

int ScriptedDialogs::beeps() const {
    return static_cast<int>(std::count_if(m_events.begin(), m_events.end(), [](const Event& e) {
        return e.kind == Event::Kind::Beep;
    }));
}

}  // namespace zelvo
