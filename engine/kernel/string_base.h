// qlib::string_base: the one string type shared by the host, the modules and the
// script language. Exact-size buffers from malloc, a shared empty text for null data.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace qlib {

template <typename C> class string_base {
public:
    string_base() = default;
    string_base(const C* text) { assign(text, text ? length_of(text) : 0); }
    string_base(const C* text, uint32_t limit) { assign(text, text ? bounded_length(text, limit) : 0); }
    string_base(const string_base& other) { assign(other.data, other.length); }
    string_base(string_base&& other) noexcept
        : data(other.data)
        , length(other.length)
        , capacity(other.capacity)
    {
        other.data = nullptr;
        other.length = other.capacity = 0;
    }
    ~string_base() { std::free(data); }

    string_base& operator=(const string_base& other)
    {
        if (this != &other)
            assign(other.data, other.length);
        return *this;
    }
    string_base& operator=(string_base&& other) noexcept
    {
        if (this != &other) {
            std::free(data);
            data = other.data;
            length = other.length;
            capacity = other.capacity;
            other.data = nullptr;
            other.length = other.capacity = 0;
        }
        return *this;
    }
    string_base& operator=(const C* text) { return assign(text, text ? length_of(text) : 0); }

    // printf-style construction: formats into a 2048-byte buffer that grows by 2048
    // bytes while it is too small; the string then owns that buffer.
    static string_base format(const C* fmt, ...);
    static string_base vformat(const C* fmt, va_list args);

    const C* c_str() const { return data ? data : empty_text(); }
    uint32_t size() const { return length; }
    uint32_t get_capacity() const { return capacity; }
    bool empty() const { return length == 0; }
    const C* raw_data() const { return data; }
    C operator[](uint32_t i) const { return data[i]; }

    // Empty source frees the buffer; a source that fits is copied in place; a
    // longer one replaces the buffer with one of exactly length + 1 elements.
    string_base& assign(const C* text, uint32_t count);
    string_base& append(const C* text, uint32_t count);
    string_base& append(const C* text) { return append(text, text ? length_of(text) : 0); }
    string_base& operator+=(const string_base& other) { return append(other.data, other.length); }
    string_base& operator+=(const C* text) { return append(text); }
    string_base& operator+=(C ch) { return append(&ch, 1); }

    void resize(uint32_t n);
    void reserve(uint32_t n);
    void clear() { assign(nullptr, 0); }
    // Index of the first occurrence of text, or -1 (also for an empty string).
    int find(const C* text) const;

    friend string_base operator+(const string_base& a, const string_base& b)
    {
        string_base r;
        r.reserve(a.length + b.length);
        r.append(a.data, a.length);
        r.append(b.data, b.length);
        return r;
    }
    friend bool operator==(const string_base& a, const string_base& b)
    {
        return a.length == b.length && (a.length == 0 || std::memcmp(a.data, b.data, a.length * sizeof(C)) == 0);
    }
    friend bool operator==(const string_base& a, const C* b) { return a == string_base(b); }
    friend bool operator<(const string_base& a, const string_base& b)
    {
        uint32_t n = a.length < b.length ? a.length : b.length;
        int c = n ? std::memcmp(a.data, b.data, n * sizeof(C)) : 0;
        return c < 0 || (c == 0 && a.length < b.length);
    }

    // Fields in the order the archive layout and the module ABI expect.
    C* data = nullptr;
    uint32_t length = 0;
    uint32_t capacity = 0;

private:
    static const C* empty_text()
    {
        static const C zero = 0;
        return &zero;
    }
    static uint32_t length_of(const C* text)
    {
        uint32_t n = 0;
        while (text[n])
            ++n;
        return n;
    }
    static uint32_t bounded_length(const C* text, uint32_t limit)
    {
        uint32_t n = 0;
        while (n < limit && text[n])
            ++n;
        return n;
    }
    void grow_exact(uint32_t n);
};

template <typename C> void string_base<C>::grow_exact(uint32_t n)
{
    if (n <= capacity && data)
        return;
    C* fresh = static_cast<C*>(std::realloc(data, (size_t(n) + 1) * sizeof(C)));
    if (!fresh)
        std::abort(); // out of memory: nothing sensible can continue
    if (!data)
        fresh[0] = 0;
    data = fresh;
    capacity = n;
}

template <typename C> string_base<C>& string_base<C>::assign(const C* text, uint32_t count)
{
    if (text == data && count == length)
        return *this;
    if (count == 0) {
        std::free(data);
        data = nullptr;
        length = capacity = 0;
        return *this;
    }
    if (!data || count > capacity) {
        C* fresh = static_cast<C*>(std::malloc((size_t(count) + 1) * sizeof(C)));
        if (!fresh)
            std::abort();
        std::memcpy(fresh, text, count * sizeof(C));
        std::free(data);
        data = fresh;
        capacity = count;
    } else {
        std::memmove(data, text, count * sizeof(C));
    }
    data[count] = 0;
    length = count;
    return *this;
}

template <typename C> string_base<C>& string_base<C>::append(const C* text, uint32_t count)
{
    if (count == 0)
        return *this;
    // text may point into our own buffer: remember its offset across realloc.
    const C* old = data;
    bool inside = data && text >= data && text < data + length;
    size_t offset = inside ? size_t(text - old) : 0;
    grow_exact(length + count);
    if (inside)
        text = data + offset;
    std::memmove(data + length, text, count * sizeof(C));
    length += count;
    data[length] = 0;
    return *this;
}

template <typename C> void string_base<C>::resize(uint32_t n)
{
    if (n > length) {
        grow_exact(n);
        std::memset(data + length, 0, (size_t(n) - length + 1) * sizeof(C));
    } else if (data) {
        data[n] = 0;
    }
    length = n;
}

template <typename C> void string_base<C>::reserve(uint32_t n)
{
    if (n > capacity)
        grow_exact(n);
}

template <typename C> int string_base<C>::find(const C* text) const
{
    if (length == 0 || !text)
        return -1;
    uint32_t n = length_of(text);
    if (n > length)
        return -1;
    for (uint32_t i = 0; i + n <= length; ++i)
        if (std::memcmp(data + i, text, n * sizeof(C)) == 0)
            return int(i);
    return -1;
}

template <> string_base<char> string_base<char>::vformat(const char* fmt, va_list args);
template <> string_base<char> string_base<char>::format(const char* fmt, ...);

using string = string_base<char>;

} // namespace qlib

using string_base = qlib::string_base<char>;
