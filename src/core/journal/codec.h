// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The journal's fields as bytes: fixed-width little-endian integers, and
// strings and byte runs after their length.
namespace journal {

// A record that does not hold what its type promises.
class Damaged : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Encoder {
public:
    std::vector<uint8_t>& bytes() { return m_out; }

    void u8(uint8_t v) { m_out.push_back(v); }
    void u32(uint32_t v) { little(v, 4); }
    void u64(uint64_t v) { little(v, 8); }
    void i64(int64_t v) { little(static_cast<uint64_t>(v), 8); }
    void raw(std::span<const uint8_t> b) { m_out.insert(m_out.end(), b.begin(), b.end()); }
    void str(std::string_view s) {
        u32(static_cast<uint32_t>(s.size()));
        raw({reinterpret_cast<const uint8_t*>(s.data()), s.size()});
    }

private:
    void little(uint64_t v, int n) {
        for (int i = 0; i < n; ++i)
            m_out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    std::vector<uint8_t> m_out;
};

class Decoder {
public:
    explicit Decoder(std::span<const uint8_t> in) : m_in(in) {}

    uint8_t u8() { return static_cast<uint8_t>(little(1)); }
    uint32_t u32() { return static_cast<uint32_t>(little(4)); }
    uint64_t u64() { return little(8); }
    int64_t i64() { return static_cast<int64_t>(little(8)); }
    std::span<const uint8_t> raw(uint64_t n) {
        need(n);
        auto s = m_in.subspan(m_pos, static_cast<size_t>(n));
        m_pos += static_cast<size_t>(n);
        return s;
    }
    std::string str() {
        const auto s = raw(u32());
        return {reinterpret_cast<const char*>(s.data()), s.size()};
    }
    bool atEnd() const { return m_pos == m_in.size(); }
    void expectEnd() const {
        if (!atEnd()) throw Damaged("bytes after the last field");
    }

private:
    void need(uint64_t n) const {
        if (n > m_in.size() - m_pos) throw Damaged("a field runs past its record");
    }
    uint64_t little(int n) {
        need(static_cast<uint64_t>(n));
        uint64_t v = 0;
        for (int i = 0; i < n; ++i)
            v |= uint64_t{m_in[m_pos + static_cast<size_t>(i)]} << (8 * i);
        m_pos += static_cast<size_t>(n);
        return v;
    }
    std::span<const uint8_t> m_in;
    size_t m_pos = 0;
};

} // namespace journal
