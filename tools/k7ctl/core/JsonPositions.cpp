#include "JsonPositions.h"

#include "xml/Utf8Text.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool EndsScalar(char c) { return IsSpace(c) || c == ',' || c == ']' || c == '}'; }

class Scanner {
public:
    explicit Scanner(std::string_view t) : m_t(t) {}

    std::size_t i = 0;

    bool AtEnd() const { return i >= m_t.size(); }
    char Peek() const { return m_t[i]; }
    void SkipSpace() {
        while (!AtEnd() && IsSpace(m_t[i])) ++i;
    }
    void SkipScalar() {
        while (!AtEnd() && !EndsScalar(m_t[i])) ++i;
    }

    // Reads the string at i (which is a quote) and decodes its escapes.
    std::string ReadString() {
        std::string out;
        ++i;
        while (!AtEnd() && m_t[i] != '"') {
            if (m_t[i] != '\\') {
                out += m_t[i++];
                continue;
            }
            if (++i >= m_t.size()) break;
            const char e = m_t[i++];
            switch (e) {
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                std::uint32_t cp = Hex4();
                if (cp >= 0xD800 && cp < 0xDC00 && m_t.substr(i, 2) == "\\u") {
                    i += 2;
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (Hex4() - 0xDC00);
                }
                AppendUtf8(out, cp);
                break;
            }
            default: out += e;  // '"', '\\', '/'
            }
        }
        ++i;  // the closing quote
        return out;
    }

private:
    std::uint32_t Hex4() {
        std::uint32_t v = 0;
        for (int k = 0; k < 4 && !AtEnd(); ++k, ++i) {
            const char c = m_t[i];
            v = v << 4 | (static_cast<std::uint32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10) & 0xF);
        }
        return v;
    }

    std::string_view m_t;
};

}  // namespace

TextPosition PositionOfOffset(std::string_view text, std::size_t offset) {
    TextPosition p;
    for (std::size_t k = 0; k < offset && k < text.size(); ++k) {
        if (text[k] == '\n') {
            ++p.line;
            p.column = 1;
        } else if ((static_cast<unsigned char>(text[k]) & 0xC0) != 0x80) {
            ++p.column;  // continuation bytes belong to the character before them
        }
    }
    return p;
}

std::string PointerToken(std::string_view name) {
    std::string t = "/";
    for (char c : name) {
        if (c == '~')
            t += "~0";
        else if (c == '/')
            t += "~1";
        else
            t += c;
    }
    return t;
}

JsonPositions::JsonPositions(std::string_view text) : m_text(text) {
    struct Frame {
        std::size_t pathLength;  // of the container's own pointer
        bool object;
        std::size_t next = 0;
    };
    std::vector<Frame> stack;
    std::string path;  // pointer of the value about to be read
    Scanner s(text);
    std::size_t nameAt = 0;
    enum { Value, After, Member } state = Value;

    for (;;) {
        s.SkipSpace();
        if (s.AtEnd()) return;
        if (state == Value) {
            if (stack.size() <= kMaxDepth) {
                const auto [it, fresh] = m_offsets.try_emplace(path, Offsets{nameAt, s.i});
                if (!fresh) m_duplicates.push_back({path, PositionOfOffset(text, nameAt)});
            }
            const char c = s.Peek();
            if (c == '{' || c == '[') {
                stack.push_back({path.size(), c == '{'});
                ++s.i;
                s.SkipSpace();
                if (!s.AtEnd() && (s.Peek() == '}' || s.Peek() == ']')) {
                    ++s.i;
                    stack.pop_back();
                    state = After;
                } else {
                    state = Member;
                }
                continue;
            }
            if (c == '"')
                s.ReadString();
            else
                s.SkipScalar();
            state = After;
        } else if (state == After) {
            if (stack.empty()) return;
            path.resize(stack.back().pathLength);
            if (s.Peek() == ',') {
                ++s.i;
                state = Member;
            } else if (s.Peek() == '}' || s.Peek() == ']') {
                ++s.i;
                stack.pop_back();
            } else {
                return;  // not JSON; nothing further can be placed
            }
        } else {
            Frame& f = stack.back();
            path.resize(f.pathLength);
            if (f.object) {
                if (s.Peek() != '"') return;
                nameAt = s.i;
                const std::string name = s.ReadString();
                s.SkipSpace();
                if (s.AtEnd() || s.Peek() != ':') return;
                ++s.i;
                if (stack.size() <= kMaxDepth) path += PointerToken(name);
            } else {
                s.SkipSpace();
                nameAt = s.i;
                if (stack.size() <= kMaxDepth) path += "/" + std::to_string(f.next);
                ++f.next;
            }
            state = Value;
        }
    }
}

TextPosition JsonPositions::Name(std::string_view pointer) const {
    const auto it = m_offsets.find(pointer);
    return PositionOfOffset(m_text, it == m_offsets.end() ? 0 : it->second.name);
}

TextPosition JsonPositions::Value(std::string_view pointer) const {
    const auto it = m_offsets.find(pointer);
    return PositionOfOffset(m_text, it == m_offsets.end() ? 0 : it->second.value);
}
