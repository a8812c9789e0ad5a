// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "support/peers.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>

namespace testing_support {

std::string hex(std::string_view s) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : s) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string digest(const Bytes& data) {
    uint64_t h = 0xCBF29CE484222325u;
    for (uint8_t c : data)
        h = (h ^ c) * 0x100000001B3u;
    char out[40];
    std::snprintf(out, sizeof out, "%zu:%016llx", data.size(), static_cast<unsigned long long>(h));
    return out;
}

const std::vector<Peer>& peers() {
    static const std::vector<Peer> all = [] {
        std::vector<Peer> p;
#ifdef QUILLET_TAGLIB_READ
        p.push_back({"TagLib", shellQuote(QUILLET_TAGLIB_READ)});
#else
        p.push_back({"TagLib", ""});
#endif
        const bool mutagen =
            run("/usr/bin/python3 -c 'import mutagen' 2>/dev/null && echo yes").out == "yes\n";
        p.push_back(
            {"mutagen", mutagen ? "/usr/bin/python3 " + shellQuote(QUILLET_MUTAGEN_READ) : ""});
        return p;
    }();
    return all;
}

PeerView peerView(const Peer& peer, const std::string& path, bool v24) {
    PeerView v;
    const bool mutagen = std::string_view(peer.name) == "mutagen";
    std::istringstream in(
        run(peer.command + (v24 && mutagen ? " --v24 " : " ") + shellQuote(path)).out);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("audio", 0) == 0)
            v.audio = line;
        else
            v.frames.push_back(line);
    }
    std::sort(v.frames.begin(), v.frames.end());
    return v;
}

std::vector<std::string> untitled(const std::vector<std::string>& lines,
                                  const std::vector<std::string>& dropped) {
    std::map<std::string, std::string> texts;
    std::vector<std::string> out;
    for (const std::string& line : lines) {
        const std::string id = line.substr(0, line.find(' '));
        if (line.rfind("ID3v2.", 0) == 0 || id == "TIT2" ||
            std::find(dropped.begin(), dropped.end(), id) != dropped.end())
            continue;
        if (id[0] == 'T' && id != "TXXX" && line.find(' ', 5) == std::string::npos) {
            std::string& joined = texts[id];
            joined += (joined.empty() ? "" : "00") + line.substr(5);
        } else {
            out.push_back(line);
        }
    }
    for (const auto& [id, values] : texts)
        out.push_back(id + " " + values);
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace testing_support
