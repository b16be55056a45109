#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "toolkit/Form.h"

namespace kv {

// The application object: the program's forms, its title, its one message pump and its end
// request. There is one per process, so its state is static.
class App {
public:
    static void Initialize();

    // Until it is set, the title is the program file's name up to its first dot, with the
    // first letter in upper case and the others in lower case.
    [[nodiscard]] static std::string Title();
    static void SetTitle(std::string_view title);

    // Creates a form and keeps it until the end; the first one becomes the main form.
    template <class T>
    static void CreateForm(T*& instance) {
        auto form = std::make_unique<T>();
        instance = form.get();
        Form& created = *form;
        Adopt(std::move(form), [&instance] { instance = nullptr; });
        created.Create();
    }
    [[nodiscard]] static Form* MainForm();

    // Shows the main form (its OnShow runs before it is seen) and runs the message loop
    // until the end is requested.
    static void Run();
    // The final end request: the running handler goes on to its end, modal forms and
    // messages opened later return at once, and the loop ends at its next turn.
    static void Terminate();
    [[nodiscard]] static bool Terminated();
    // Runs every queued message and returns when the queue is empty.
    static void ProcessMessages();
    // Waits for one message and runs it.
    static void HandleMessage();
    // Destroys the forms, newest first; each one's OnDestroy runs before its window goes.
    static void DestroyForms();

    // A message with one OK button and no icon under the current title.
    static void ShowMessage(std::string_view text);
    // The system's stop box, owned by the main form.
    static void ErrorBox(std::string_view text, std::string_view caption);
    // The standard display of an error that escaped a handler.
    static void ShowException(std::string_view text);
    // Runs a handler outside any window procedure the way the dispatcher would.
    static void Guarded(const std::function<void()>& handler);

    [[nodiscard]] static HINSTANCE Instance();

private:
    static void Adopt(std::unique_ptr<Form> form, std::function<void()> forget);
    static bool PumpOne(bool wait);
};

}  // namespace kv
