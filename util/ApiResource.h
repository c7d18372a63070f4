#pragma once
// Owns one handle that an interface of ours gave out, and gives it back
// through that interface when it goes: the RAII owner of every seam handle.

#include <utility>

template <typename Api, typename Handle, Handle kInvalid, auto kRelease>
class CApiResource {
public:
    CApiResource() = default;
    CApiResource(Api& api, Handle handle) : m_api(&api), m_handle(handle) {}
    CApiResource(CApiResource&& other) noexcept { Swap(other); }
    CApiResource& operator=(CApiResource&& other) noexcept {
        CApiResource(std::move(other)).Swap(*this);
        return *this;
    }
    CApiResource(const CApiResource&) = delete;
    CApiResource& operator=(const CApiResource&) = delete;
    ~CApiResource() { Close(); }

    bool IsValid() const { return m_handle != kInvalid; }
    Handle Get() const { return m_handle; }
    void Close() {
        if (m_api && IsValid()) (m_api->*kRelease)(m_handle);
        m_handle = kInvalid;
    }

private:
    void Swap(CApiResource& other) noexcept {
        std::swap(m_api, other.m_api);
        std::swap(m_handle, other.m_handle);
    }

    Api* m_api = nullptr;
    Handle m_handle = kInvalid;
};
