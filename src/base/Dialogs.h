#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace zelvo {

// The icons a message box can carry.
enum class Icon { None, Critical, Exclamation, Information, Question };

enum class Answer { Yes, No };

// What the program may choose through a file dialog.
struct FileRequest {
    std::string title;
    std::string filter;    // as the program writes it: "Archivio(*.isd)|*.isd"
    std::string startDir;  // empty: the dialog's own choice
    bool save = false;
};

// The only way the engine talks to the operator. The Qt implementation shows real
// boxes; ScriptedDialogs records them for tests and operator scripts.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual void message(const std::string& text, const std::string& title, Icon icon) = 0;
    virtual void beep() = 0;
    // A Yes/No question; defaultNo picks the button that Enter presses.
    virtual Answer ask(const std::string& text, const std::string& title, Icon icon,
                       bool defaultNo) = 0;
    // The chosen path, or nothing when the operator cancelled.
    virtual std::optional<std::string> chooseFile(const FileRequest& request) = 0;
};

// Records every box and beep in order; answers questions and file dialogs from queues.
// A question with no queued answer is answered No and marked as unanswered, so a script
// can fail on it instead of guessing.
class ScriptedDialogs : public Dialogs {
  public:
    struct Event {
        enum class Kind { Message, Beep, Question, File } kind;
        std::string text;
        std::string title;
        Icon icon = Icon::None;
        bool unanswered = false;
    };

    void message(const std::string& text, const std::string& title, Icon icon) override;
    void beep() override;
    Answer ask(const std::string& text, const std::string& title, Icon icon,
               bool defaultNo) override;
    std::optional<std::string> chooseFile(const FileRequest& request) override;

    void queueAnswer(Answer a) { m_answers.push_back(a); }
    void queueFile(std::optional<std::string> path) { m_files.push_back(std::move(path)); }

    const std::vector<Event>& events() const { return m_events; }
    // Message and question boxes only, in order (beeps left out).
    std::vector<Event> boxes() const;
    int beeps() const;
    void clear() { m_events.clear(); }

  private:
    std::vector<Event> m_events;
    std::deque<Answer> m_answers;
    std::deque<std::optional<std::string>> m_files;
};

}  // namespace zelvo
