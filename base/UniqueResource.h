#pragma once

#include <utility>

namespace tessel {

// Owns one handle-like value and closes it exactly once. Traits supply the handle type, its
// invalid value and the close function:
//
//   struct FileTraits {
//       using Type = HANDLE;
//       static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
//       static void Close(Type h) noexcept { ::CloseHandle(h); }
//   };
//   using UniqueFile = UniqueResource<FileTraits>;
//
// Move-only. Free of <windows.h> so that pure code and tests can use it with fake traits.
template <typename Traits>
class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Type value) noexcept : m_value(value) {}
    ~UniqueResource() { Reset(); }

    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    UniqueResource(UniqueResource&& other) noexcept : m_value(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }

    [[nodiscard]] Type Get() const noexcept { return m_value; }
    [[nodiscard]] bool IsValid() const noexcept { return m_value != Traits::Invalid(); }
    explicit operator bool() const noexcept { return IsValid(); }

    // Gives up ownership without closing.
    [[nodiscard]] Type Release() noexcept { return std::exchange(m_value, Traits::Invalid()); }

    // Closes the owned value (if any) and takes `value`.
    void Reset(Type value = Traits::Invalid()) noexcept {
        Type old = std::exchange(m_value, value);
        if (old != Traits::Invalid()) {
            Traits::Close(old);
        }
    }

private:
    Type m_value = Traits::Invalid();
};

}  // namespace tessel
