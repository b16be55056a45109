#pragma once
#include <windows.h>

#include <utility>

namespace kv {

// One owner for one OS handle: it frees the handle when it goes, never copies it, and hands
// it on by move. The traits say what an empty handle looks like and how the handle is freed.
template <class Traits>
class Unique {
public:
    using Type = typename Traits::Type;

    Unique() noexcept = default;
    explicit Unique(Type handle) noexcept : handle_(handle) {}
    Unique(Unique&& other) noexcept : handle_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        reset(other.release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { reset(); }

    [[nodiscard]] Type get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::Empty(); }

    Type release() noexcept { return std::exchange(handle_, Traits::Empty()); }
    void reset(Type handle = Traits::Empty()) noexcept {
        const Type old = std::exchange(handle_, handle);
        if (old != Traits::Empty()) Traits::Free(old);
    }

private:
    Type handle_ = Traits::Empty();
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return nullptr; }
    static void Free(Type h) noexcept { CloseHandle(h); }
};

// CreateFileA reports failure as INVALID_HANDLE_VALUE, not as a null handle.
struct FileHandleTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Free(Type h) noexcept { CloseHandle(h); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Free(Type h) noexcept { FindClose(h); }
};

template <class T>
struct GdiObjectTraits {
    using Type = T;
    static Type Empty() noexcept { return nullptr; }
    static void Free(Type h) noexcept { DeleteObject(h); }
};

struct MenuTraits {
    using Type = HMENU;
    static Type Empty() noexcept { return nullptr; }
    static void Free(Type h) noexcept { DestroyMenu(h); }
};

// A memory DC; deleting it lets go of the bitmap selected into it, which its own owner then
// frees, so the bitmap's owner must outlive the DC's.
struct MemoryDcTraits {
    using Type = HDC;
    static Type Empty() noexcept { return nullptr; }
    static void Free(Type h) noexcept { DeleteDC(h); }
};

using KernelHandle = Unique<KernelHandleTraits>;
using FileHandle = Unique<FileHandleTraits>;
using FindHandle = Unique<FindHandleTraits>;
using FontHandle = Unique<GdiObjectTraits<HFONT>>;
using BrushHandle = Unique<GdiObjectTraits<HBRUSH>>;
using BitmapHandle = Unique<GdiObjectTraits<HBITMAP>>;
using MenuHandle = Unique<MenuTraits>;
using MemoryDc = Unique<MemoryDcTraits>;

}  // namespace kv
