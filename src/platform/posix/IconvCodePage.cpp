#include "platform/Charsets.h"
#include "platform/CodePage.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <iconv.h>
#include <utility>

namespace quill::platform {

namespace {

const auto kFailed = static_cast<std::size_t>(-1);

class Conversion {
public:
    Conversion(const std::string& to, const std::string& from)
        : descriptor_(iconv_open(to.c_str(), from.c_str())) {}
    ~Conversion() {
        if (opened()) {
            iconv_close(descriptor_);
        }
    }
    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;

    bool opened() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }

    // The input converted; each sequence the conversion rejects becomes one "?", and the input
    // goes on after the bad sequence's length (a sequence cut off at the end ends it).
    std::string run(std::string_view input, std::size_t (*badLength)(std::string_view)) {
        std::string out;
        out.reserve(input.size() * 2);
        char* in = const_cast<char*>(input.data());
        std::size_t left = input.size();
        std::array<char, 4096> chunk;
        for (;;) {
            char* to = chunk.data();
            std::size_t room = chunk.size();
            // With the input used up, a last call returns a stateful charset to its start.
            const bool flushing = left == 0;
            const std::size_t result = flushing ? iconv(descriptor_, nullptr, nullptr, &to, &room)
                                                : iconv(descriptor_, &in, &left, &to, &room);
            const int error = errno;
            out.append(chunk.data(), static_cast<std::size_t>(to - chunk.data()));
            if (result != kFailed) {
                if (flushing) {
                    return out;
                }
                continue;
            }
            if (error == E2BIG) {
                continue;
            }
            if (flushing) {
                return out;
            }
            out.push_back('?');
            const std::size_t skip =
                error == EILSEQ ? std::clamp<std::size_t>(badLength({in, left}), 1, left) : left;
            in += skip;
            left -= skip;
        }
    }

private:
    iconv_t descriptor_;
};

std::size_t oneByte(std::string_view) {
    return 1;
}

std::size_t oneCharacter(std::string_view text) {
    std::size_t pos = 0;
    utf8::decodeNext(text, pos);
    return pos;
}

class IconvCodePage final : public CodePage {
public:
    explicit IconvCodePage(std::string name) : name_(std::move(name)) {}

    std::string name() const override { return name_; }

    std::string toUtf8(std::string_view bytes) const override {
        return Conversion("UTF-8", name_).run(bytes, oneByte);
    }

    std::string fromUtf8(std::string_view text) const override {
        return Conversion(name_, "UTF-8").run(text, oneCharacter);
    }

private:
    std::string name_;
};

// iconv reads more than a name into its argument ("" is the locale's charset, "//" starts
// options): pass it only what looks like a charset's name.
bool isPlainName(std::string_view name) {
    return !name.empty() && name.size() <= 40 && std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' ||
               c == ':';
    });
}

std::string printableAscii() {
    std::string text = "\t\r\n";
    for (char c = ' '; c < 0x7F; ++c) {
        text.push_back(c);
    }
    return text;
}

} // namespace

std::unique_ptr<CodePage> osCodePageByName(std::string_view name) {
    std::string iconvName;
    if (const auto known = knownCharset(name)) {
        iconvName = known->iconvName;
    } else if (isPlainName(name)) {
        iconvName = name;
    } else {
        return nullptr;
    }
    if (!Conversion("UTF-8", iconvName).opened()) {
        return nullptr;
    }
    auto codePage = std::make_unique<IconvCodePage>(std::move(iconvName));
    // The name was read as ASCII, so a charset that reads ASCII otherwise (UTF-16, UTF-7,
    // EBCDIC) cannot be the one the text is in.
    static const std::string ascii = printableAscii();
    if (codePage->toUtf8(ascii) != ascii) {
        return nullptr;
    }
    return codePage;
}

} // namespace quill::platform
