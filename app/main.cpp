#include <windows.h>

#include <exception>

#include "toolkit/App.h"
#include "toolkit/Handle.h"
#include "ui/Aboutform.h"
#include "ui/Instellingenform.h"
#include "ui/Mainform.h"
#include "ui/Texts.h"

namespace {

constexpr const char* kMutexName = "KovelarMutex";

// The single-instance lock: owned from its creation to the end of the run, then released.
class InstanceLock {
public:
    explicit InstanceLock(HANDLE mutex) noexcept : mutex_(mutex) {}
    ~InstanceLock() {
        if (mutex_) ReleaseMutex(mutex_.get());
    }
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

private:
    kv::KernelHandle mutex_;
};

// The forms go before the lock is released, whichever way the run ends.
struct FormsScope {
    FormsScope() = default;
    FormsScope(const FormsScope&) = delete;
    FormsScope& operator=(const FormsScope&) = delete;
    ~FormsScope() { kv::App::DestroyForms(); }
};

void RunProgram() {
    using kv::App;
    // Another instance holds the lock: say so and leave it undisturbed.
    if (const kv::KernelHandle other(OpenMutexA(MUTEX_ALL_ACCESS, TRUE, kMutexName)); other) {
        App::ShowMessage(kv::texts::AlreadyRunning());
        return;
    }
    // The other instance may have made the mutex between the two calls. Without a mutex at
    // all the program runs unlocked.
    const HANDLE mutex = CreateMutexA(nullptr, TRUE, kMutexName);
    const DWORD created = GetLastError();
    const InstanceLock lock(mutex);
    if (mutex && created == ERROR_ALREADY_EXISTS) {
        App::ShowMessage(kv::texts::AlreadyRunning());
        return;
    }

    const FormsScope forms;
    try {
        App::Initialize();
        App::SetTitle(kv::texts::AppName());
        App::CreateForm(kv::fMain);
        App::CreateForm(kv::fInstellingen);
        App::CreateForm(kv::fAbout);
        App::Run();
    } catch (const std::exception& e) {
        App::ShowException(e.what());
    } catch (...) {
        App::ShowException("Unknown error");
    }
}

}  // namespace

// The exit code is 0 on every path, a refused second instance included.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        RunProgram();
    } catch (...) {
        // Only the display of an error can fail here; RunProgram has shown everything else.
    }
    return 0;
}
