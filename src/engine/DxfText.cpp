#include "detail/DxfText.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <vector>

#include "detail/CodePageTables.h"

namespace quarrow {
namespace {

using Byte = unsigned char;

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out.push_back(char(c));
        return;
    }
    char bytes[4];
    std::size_t length = 0;
    if (c < 0x800) {
        bytes[length++] = char(0xC0 | (c >> 6));
    } else if (c < 0x10000) {
        bytes[length++] = char(0xE0 | (c >> 12));
        bytes[length++] = char(0x80 | ((c >> 6) & 0x3F));
    } else {
        bytes[length++] = char(0xF0 | (c >> 18));
        bytes[length++] = char(0x80 | ((c >> 12) & 0x3F));
        bytes[length++] = char(0x80 | ((c >> 6) & 0x3F));
    }
    bytes[length++] = char(0x80 | (c & 0x3F));
    out.append(bytes, length);
}

constexpr bool IsDigit(Byte b) noexcept {
    return b >= '0' && b <= '9';
}

constexpr int HexValue(Byte b) noexcept {
    if (IsDigit(b))
        return b - '0';
    if (b >= 'A' && b <= 'F')
        return b - 'A' + 10;
    if (b >= 'a' && b <= 'f')
        return b - 'a' + 10;
    return -1;
}

constexpr Byte LowerAscii(Byte b) noexcept {
    return b >= 'A' && b <= 'Z' ? Byte(b + ('a' - 'A')) : b;
}

// The decoders read one character at p, which is before end, and move p past it; a malformed
// character reads as U+FFFD. Each is a separate type so the scanner is compiled for each.

// Malformed UTF-8 reads as one U+FFFD for its longest valid start, as Python and browsers do:
// the bytes after it keep their meaning.
struct Utf8Decoder {
    char32_t Next(const Byte*& p, const Byte* end) const noexcept {
        const Byte b = *p++;
        if (b < 0x80)
            return b;
        int more = 0;
        char32_t c = 0;
        Byte low = 0x80;
        Byte high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            more = 1;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            more = 2;
            c = b & 0x0F;
            low = b == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
            high = b == 0xED ? 0x9F : 0xBF;  // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            more = 3;
            c = b & 0x07;
            low = b == 0xF0 ? 0x90 : 0x80;
            high = b == 0xF4 ? 0x8F : 0xBF;  // nothing past U+10FFFF
        } else {
            return kReplacement;
        }
        for (; more > 0; --more) {
            if (p == end || *p < low || *p > high)
                return kReplacement;
            c = (c << 6) | (*p++ & 0x3F);
            low = 0x80;
            high = 0xBF;
        }
        return c;
    }
};

struct SingleByteDecoder {
    const char16_t* High;  // bytes 0x80 to 0xFF

    char32_t Next(const Byte*& p, const Byte*) const noexcept {
        const Byte b = *p++;
        return b < 0x80 ? char32_t(b) : char32_t(High[b - 0x80]);
    }
};

// A double-byte page expanded for lookup: the pairs of a lead byte and a trail byte from 0x40.
struct DoubleByteTable {
    static constexpr std::size_t kTrails = 0x100 - 0x40;

    std::array<char16_t, 128> Single{};  // as in PackedDoubleByteTable
    std::array<bool, 256> Trail{};       // the bytes that follow a lead byte on this page
    std::vector<char16_t> Pairs;         // (lead - 0x80) * kTrails + trail - 0x40

    char32_t Pair(Byte lead, Byte trail) const noexcept {
        return Pairs[std::size_t(lead - 0x80) * kTrails + std::size_t(trail - 0x40)];
    }
};

DoubleByteTable Expand(const codepage::PackedDoubleByteTable& packed) {
    DoubleByteTable table;
    std::copy_n(packed.Single, table.Single.size(), table.Single.begin());
    table.Pairs.assign(128 * DoubleByteTable::kTrails, char16_t(kReplacement));
    std::uint16_t previous = 0;
    // The generator writes leads from 0x80 and trails from 0x40 to 0xFF only.
    for (const std::int16_t* row = packed.Rows; *row != 0;) {
        const int lead = row[0];
        const int first = row[1];
        const int count = row[2];
        row += 3;
        for (int i = 0; i < count; ++i, ++row) {
            if (*row == 0)
                continue;
            previous = std::uint16_t(previous + std::uint16_t(*row));
            const int trail = first + i;
            table.Pairs[std::size_t(lead - 0x80) * DoubleByteTable::kTrails +
                        std::size_t(trail - 0x40)] = char16_t(previous);
            table.Trail[std::size_t(trail)] = true;
        }
    }
    return table;
}

// Expanded on first use: a drawing in this code page is what pays for it.
template <std::uint16_t CodePage>
const DoubleByteTable& ExpandedTable() {
    static const DoubleByteTable table = Expand(*codepage::FindPackedDoubleByteTable(CodePage));
    return table;
}

const DoubleByteTable* FindDoubleByteTable(std::uint16_t codePage) {
    switch (codePage) {
    case 932: return &ExpandedTable<932>();
    case 936: return &ExpandedTable<936>();
    case 949: return &ExpandedTable<949>();
    case 950: return &ExpandedTable<950>();
    default: return nullptr;
    }
}

struct DoubleByteDecoder {
    const DoubleByteTable* Table;

    char32_t Next(const Byte*& p, const Byte* end) const noexcept {
        const Byte b = *p++;
        if (b < 0x80)
            return b;
        const char16_t single = Table->Single[b - 0x80];
        if (single != 0)
            return single;
        // A trail byte belongs to its lead byte even when the pair is undefined: one broken
        // character is one U+FFFD. A lead byte without one stands alone.
        if (p == end || !Table->Trail[*p])
            return kReplacement;
        return Table->Pair(b, *p++);
    }
};

const char16_t* Windows1252() noexcept {
    return codepage::FindSingleByteTable(1252);
}

// The character of %%nnn. Codes up to 255 read as Windows-1252, so that 128 to 159 are the
// characters people number (%%128 the euro sign), not C1 controls; larger codes are Unicode.
char32_t NumberedCharacter(int code) noexcept {
    if (code < 0x80 || code > 0xFF)
        return char32_t(code);
    return Windows1252()[code - 0x80];
}

// The double-byte character of a \M+nXXXX escape: n names the code page as the DOS-era
// multibyte escapes do. Johab (4) has no table here.
char32_t MultibyteCharacter(Byte pageDigit, Byte lead, Byte trail) {
    static constexpr std::uint16_t kPages[] = {932, 950, 949, 0, 936};
    const DoubleByteTable* table = pageDigit >= '1' && pageDigit <= '5'
                                       ? FindDoubleByteTable(kPages[pageDigit - '1'])
                                       : nullptr;
    if (table == nullptr || lead < 0x80 || table->Single[lead - 0x80] != 0 || !table->Trail[trail])
        return kReplacement;
    return table->Pair(lead, trail);
}

// What a value is: a name (layer, block, style) knows only the escapes, a TEXT value also the %%
// and caret codes, an MTEXT value also the inline formatting.
enum class Flavor { Name, Text, MText };

// Writes the plain text of one value. Syntax characters are ASCII: in every supported encoding
// a byte below 0x80 at a character boundary is that ASCII character, so the syntax is matched on
// bytes and everything else goes through the decoder a whole character at a time (a trail byte
// of a double-byte page may be a backslash or a caret).
template <class Decoder>
class PlainWriter {
public:
    PlainWriter(std::string_view raw, Decoder decoder, Flavor flavor, std::string& out)
        : p_(reinterpret_cast<const Byte*>(raw.data())), end_(p_ + raw.size()), decoder_(decoder),
          flavor_(flavor), out_(out) {}

    void Run() {
        while (p_ != end_) {
            const Byte b = *p_;
            if (IsPlain(b)) {
                const Byte* run = p_ + 1;
                while (run != end_ && IsPlain(*run))
                    ++run;
                out_.append(reinterpret_cast<const char*>(p_), std::size_t(run - p_));
                p_ = run;
                continue;
            }
            if (b == '\\') {
                flavor_ == Flavor::MText ? Command() : Backslash();
            } else if (b == '%' && flavor_ != Flavor::Name) {
                Percent();
            } else if (b == '^' && flavor_ != Flavor::Name) {
                Caret();
            } else if ((b == '{' || b == '}') && flavor_ == Flavor::MText) {
                ++p_;  // grouping only
            } else {
                Emit(decoder_.Next(p_, end_));
            }
        }
    }

private:
    // Bytes copied as they are: printable ASCII that starts no code.
    static constexpr std::array<bool, 256> kPlain = [] {
        std::array<bool, 256> plain{};
        for (int b = 0x20; b < 0x7F; ++b)
            plain[std::size_t(b)] = b != '%' && b != '^' && b != '\\' && b != '{' && b != '}';
        return plain;
    }();

    static constexpr bool IsPlain(Byte b) noexcept { return kPlain[b]; }

    // The byte k places ahead, 0 past the end. Only for matching ASCII syntax: the bytes before
    // it must have matched ASCII too, or it may be in the middle of a character.
    Byte At(std::size_t k) const noexcept { return std::size_t(end_ - p_) > k ? p_[k] : Byte(0); }

    bool HasHex4(std::size_t k) const noexcept {
        return HexValue(At(k)) >= 0 && HexValue(At(k + 1)) >= 0 && HexValue(At(k + 2)) >= 0 &&
               HexValue(At(k + 3)) >= 0;
    }

    int Hex4(std::size_t k) const noexcept {
        return HexValue(At(k)) << 12 | HexValue(At(k + 1)) << 8 | HexValue(At(k + 2)) << 4 |
               HexValue(At(k + 3));
    }

    void Emit(char32_t c) {
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            // A line feed breaks an MTEXT line (a blank in a record) and is ignored in one-line
            // TEXT; a carriage return is ignored; other controls show as a blank.
            if (c == '\r' || (c == '\n' && flavor_ != Flavor::MText))
                return;
            c = ' ';
        }
        AppendUtf8(c, out_);
    }

    // At "%": %%d, %%p, %%c, %%% and %%nnn are characters; %%u, %%o and %%k switch lines on or
    // off and are dropped. Any other "%" is itself.
    void Percent() {
        if (At(1) == '%') {
            const Byte code = At(2);
            switch (LowerAscii(code)) {
            case 'd': Replace(3, 0x00B0); return;  // degree sign
            case 'p': Replace(3, 0x00B1); return;  // plus-minus sign
            case 'c': Replace(3, 0x2300); return;  // diameter sign
            case '%': Replace(3, '%'); return;
            case 'u':
            case 'o':
            case 'k': p_ += 3; return;
            default: break;
            }
            if (IsDigit(code) && IsDigit(At(3)) && IsDigit(At(4))) {
                const int number = (code - '0') * 100 + (At(3) - '0') * 10 + (At(4) - '0');
                p_ += 5;
                Emit(NumberedCharacter(number));
                return;
            }
        }
        out_.push_back('%');
        ++p_;
    }

    void Replace(std::size_t length, char32_t c) {
        p_ += length;
        Emit(c);
    }

    // At "^": caret notation. "^ " is the caret itself, "^@" to "^_" the control characters
    // 0 to 31 (^I tab, ^J line feed, ^M carriage return); any other caret is itself.
    void Caret() {
        const Byte next = At(1);
        if (next == ' ') {
            Replace(2, '^');
        } else if (next >= '@' && next <= '_') {
            Replace(2, char32_t(next - '@'));
        } else {
            out_.push_back('^');
            ++p_;
        }
    }

    // At "\": \U+XXXX (UTF-16, a surrogate pair as two escapes) and \M+nXXXX. Returns false,
    // consuming nothing, when neither follows.
    bool Escape() {
        if (At(1) == 'U' && At(2) == '+' && HasHex4(3)) {
            char32_t c = char32_t(Hex4(3));
            p_ += 7;
            if (c >= 0x0001 && c <= 0x0010 && HasHex4(0)) {
                // Eight digits for a character past U+FFFF, as ezdxf writes it: no drawing means
                // the control characters 1 to 16 followed by four hex digits.
                c = c << 16 | char32_t(Hex4(0));
                p_ += 4;
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                const bool pair = c <= 0xDBFF && At(0) == '\\' && At(1) == 'U' && At(2) == '+' &&
                                  HasHex4(3) && Hex4(3) >= 0xDC00 && Hex4(3) <= 0xDFFF;
                if (pair) {
                    c = 0x10000 + ((c - 0xD800) << 10) + char32_t(Hex4(3) - 0xDC00);
                    p_ += 7;
                } else {
                    c = kReplacement;
                }
            }
            Emit(c);
            return true;
        }
        if (At(1) == 'M' && At(2) == '+' && IsDigit(At(3)) && HasHex4(4)) {
            const int bytes = Hex4(4);
            const Byte page = At(3);
            p_ += 8;
            Emit(MultibyteCharacter(page, Byte(bytes >> 8), Byte(bytes & 0xFF)));
            return true;
        }
        return false;
    }

    // A backslash outside MTEXT starts escapes only.
    void Backslash() {
        if (!Escape()) {
            out_.push_back('\\');
            ++p_;
        }
    }

    // At "\" in MTEXT: an escaped character, a break, or formatting to drop.
    void Command() {
        if (end_ - p_ < 2) {
            ++p_;  // a backslash that ends the text escapes nothing
            return;
        }
        const Byte command = p_[1];
        switch (command) {
        case '\\':
        case '{':
        case '}': Replace(2, command); return;
        case 'P':  // new paragraph
        case 'N':  // new column
        case 'X':  // below the dimension line
        case '~':  // non-breaking space
            Replace(2, ' ');
            return;
        case 'L':
        case 'l':
        case 'O':
        case 'o':
        case 'K':
        case 'k': p_ += 2; return;  // under-, over- and strike-through lines
        case 'f':
        case 'F':
        case 'p':  // font and paragraph: anything up to ";"
            p_ += 2;
            SkipPastSemicolon();
            return;
        case 'H':
        case 'W':
        case 'T':
        case 'Q':  // height, width, tracking, oblique angle: a number or a factor ("0.8x")
            p_ += 2;
            SkipNumber();
            SkipSemicolon();
            return;
        case 'C':
        case 'c':  // colour index or RGB
            p_ += 2;
            while (p_ != end_ && IsDigit(*p_))
                ++p_;
            SkipSemicolon();
            return;
        case 'A':  // alignment: one character
            p_ += 2;
            if (p_ != end_)
                decoder_.Next(p_, end_);
            SkipSemicolon();
            return;
        case 'S':
            p_ += 2;
            Stack();
            return;
        default:
            if (Escape())
                return;
            break;
        }
        // Unknown: shown as written, a Windows path say.
        out_.push_back('\\');
        ++p_;
        Emit(decoder_.Next(p_, end_));
    }

    // ";" is below every trail byte and never inside a UTF-8 sequence, so a byte search finds it.
    void SkipPastSemicolon() {
        const void* hit = std::memchr(p_, ';', std::size_t(end_ - p_));
        p_ = hit != nullptr ? static_cast<const Byte*>(hit) + 1 : end_;
    }

    void SkipSemicolon() {
        if (p_ != end_ && *p_ == ';')
            ++p_;
    }

    void SkipDigits() {
        while (p_ != end_ && IsDigit(*p_))
            ++p_;
    }

    // [+-] digits [. digits] [e [+-] digits] [x]. The ";" that should follow is missing in some
    // drawings: the text after the number stays.
    void SkipNumber() {
        if (p_ != end_ && (*p_ == '+' || *p_ == '-'))
            ++p_;
        SkipDigits();
        if (p_ != end_ && *p_ == '.') {
            ++p_;
            SkipDigits();
        }
        if (p_ != end_ && (*p_ == 'e' || *p_ == 'E')) {
            const std::size_t sign = At(1) == '+' || At(1) == '-' ? 1 : 0;
            if (IsDigit(At(1 + sign))) {
                p_ += 1 + sign;
                SkipDigits();
            }
        }
        if (p_ != end_ && (*p_ == 'x' || *p_ == 'X'))
            ++p_;
    }

    // After "\S", up to ";": stacked text, split by the first "/", "#" or "^" into an upper and
    // a lower part. Written "upper/lower", or the one part alone for a superscript or subscript.
    // A backslash escapes the next character, ";" included.
    void Stack() {
        const std::size_t start = out_.size();
        std::size_t upperEnd = std::string::npos;
        while (p_ != end_) {
            const Byte b = *p_;
            if (b == ';') {
                ++p_;
                break;
            }
            if (b == '\\') {
                if (Escape())
                    continue;
                ++p_;
                if (p_ != end_)
                    Emit(decoder_.Next(p_, end_));
            } else if (upperEnd == std::string::npos && (b == '/' || b == '#' || b == '^')) {
                upperEnd = out_.size();
                ++p_;
                if (b == '^' && p_ != end_ && *p_ == ' ')
                    ++p_;  // "^ " is how a caret is written
            } else if (b == '%') {
                Percent();
            } else if (b == '^') {
                Caret();
            } else {
                Emit(decoder_.Next(p_, end_));
            }
        }
        if (upperEnd != std::string::npos && upperEnd > start && out_.size() > upperEnd)
            out_.insert(upperEnd, 1, '/');
    }

    const Byte* p_;
    const Byte* const end_;
    const Decoder decoder_;
    const Flavor flavor_;
    std::string& out_;
};

template <class Decoder>
void WritePlain(std::string_view raw, Decoder decoder, Flavor flavor, std::string& out) {
    PlainWriter<Decoder>(raw, decoder, flavor, out).Run();
}

void AppendPlain(std::string_view raw, const TextEncoding& encoding, Flavor flavor,
                 std::string& out) {
    if (encoding.CodePage == kUtf8CodePage) {
        WritePlain(raw, Utf8Decoder{}, flavor, out);
    } else if (const DoubleByteTable* table = FindDoubleByteTable(encoding.CodePage)) {
        WritePlain(raw, DoubleByteDecoder{table}, flavor, out);
    } else {
        const char16_t* high = codepage::FindSingleByteTable(encoding.CodePage);
        WritePlain(raw, SingleByteDecoder{high != nullptr ? high : Windows1252()}, flavor, out);
    }
}

std::string_view Trim(std::string_view text) noexcept {
    while (!text.empty() && Byte(text.front()) <= 0x20)
        text.remove_prefix(1);
    while (!text.empty() && Byte(text.back()) <= 0x20)
        text.remove_suffix(1);
    return text;
}

bool EqualsIgnoringCase(std::string_view text, std::string_view upper) noexcept {
    if (text.size() != upper.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (LowerAscii(Byte(text[i])) != LowerAscii(Byte(upper[i])))
            return false;
    }
    return true;
}

bool StartsIgnoringCase(std::string_view text, std::string_view prefix) noexcept {
    return text.size() >= prefix.size() &&
           EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// Reads up to 6 decimal digits, the whole text; -1 for anything else.
int SmallNumber(std::string_view digits) noexcept {
    if (digits.empty() || digits.size() > 6)
        return -1;
    int value = 0;
    for (const char c : digits) {
        if (!IsDigit(Byte(c)))
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool IsKnownCodePage(int number) noexcept {
    return number >= 0 && number <= 0xFFFF &&
           (codepage::FindSingleByteTable(std::uint16_t(number)) != nullptr ||
            codepage::FindPackedDoubleByteTable(std::uint16_t(number)) != nullptr);
}

// The code page a $DWGCODEPAGE value names: "ANSI_n", and the older names of the DOS and
// multibyte pages whose Windows pages are supersets of them. 0 when unknown.
std::uint16_t CodePageFromName(std::string_view name) noexcept {
    name = Trim(name);
    if (StartsIgnoringCase(name, "ANSI_")) {
        const int number = SmallNumber(name.substr(5));
        return IsKnownCodePage(number) ? std::uint16_t(number) : 0;
    }
    struct Alias {
        std::string_view Name;
        std::uint16_t CodePage;
    };
    static constexpr Alias kAliases[] = {
        {"DOS932", 932}, {"GB2312", 936},          {"KSC5601", 949},
        {"BIG5", 950},   {"UTF-8", kUtf8CodePage}, {"UTF8", kUtf8CodePage},
    };
    for (const Alias& alias : kAliases) {
        if (EqualsIgnoringCase(name, alias.Name))
            return alias.CodePage;
    }
    return 0;
}

// The release number of an $ACADVER value ("AC1021" is 1021); 0 when it is none.
int ReleaseNumber(std::string_view acadVer) noexcept {
    acadVer = Trim(acadVer);
    if (!StartsIgnoringCase(acadVer, "AC"))
        return 0;
    return std::max(SmallNumber(acadVer.substr(2)), 0);
}

}  // namespace

DrawingEncoding TextEncoding::Kind() const noexcept {
    if (CodePage == kUtf8CodePage)
        return DrawingEncoding::Utf8;
    if (codepage::FindPackedDoubleByteTable(CodePage) != nullptr)
        return DrawingEncoding::DoubleByte;
    return DrawingEncoding::SingleByte;
}

TextEncoding EncodingFromHeader(std::string_view acadVer, std::string_view dwgCodePage) noexcept {
    if (ReleaseNumber(acadVer) >= 1021)
        return TextEncoding{kUtf8CodePage};
    const std::uint16_t codePage = CodePageFromName(dwgCodePage);
    return TextEncoding{codePage != 0 ? codePage : std::uint16_t(1252)};
}

void AppendPlainText(std::string_view raw, const TextEncoding& encoding, std::string& out) {
    AppendPlain(raw, encoding, Flavor::Text, out);
}

void AppendPlainName(std::string_view raw, const TextEncoding& encoding, std::string& out) {
    AppendPlain(raw, encoding, Flavor::Name, out);
}

void AppendPlainMText(std::string_view raw, const TextEncoding& encoding, std::string& out) {
    AppendPlain(raw, encoding, Flavor::MText, out);
}

void AppendWindows1252(std::string_view bytes, std::string& out) {
    const char16_t* high = Windows1252();
    for (const char c : bytes) {
        const Byte b = Byte(c);
        if (b < 0x80)
            out.push_back(c);
        else
            AppendUtf8(high[b - 0x80], out);
    }
}

}  // namespace quarrow
