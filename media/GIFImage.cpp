#include "media/GIFImage.h"

#include <algorithm>
#include <cstring>

#include "core/FileIO.h"

const char* const kGIFUnknownVersionText = "Неизвестная версия изображения GIF";
const char* const kStreamReadErrorText = "Stream read error";

namespace {

// One bounds-checked cursor over the file; every read past the end raises.
class TByteReader {
public:
    explicit TByteReader(std::string_view data) : FData(data) {}
    bool AtEnd() const { return FPos >= FData.size(); }
    size_t Remaining() const { return FData.size() - FPos; }
    uint8_t Byte() {
        Need(1);
        return static_cast<uint8_t>(FData[FPos++]);
    }
    int Word() {
        Need(2);
        int v = static_cast<uint8_t>(FData[FPos]) | (static_cast<uint8_t>(FData[FPos + 1]) << 8);
        FPos += 2;
        return v;
    }
    std::string_view Bytes(size_t n) {
        Need(n);
        std::string_view v = FData.substr(FPos, n);
        FPos += n;
        return v;
    }
    // Data sub-blocks up to the terminator, appended to `out`. Returns false
    // when the data ends before the terminator.
    bool SubBlocks(std::string* out) {
        while (FPos < FData.size()) {
            size_t n = static_cast<uint8_t>(FData[FPos++]);
            if (n == 0) return true;
            size_t take = std::min(n, Remaining());
            if (out) out->append(FData.data() + FPos, take);
            FPos += take;
            if (take < n) return false;
        }
        return false;
    }

private:
    void Need(size_t n) const {
        if (Remaining() < n) throw EGIFError(kStreamReadErrorText);
    }
    std::string_view FData;
    size_t FPos = 0;
};

std::vector<uint32_t> ReadColorMap(TByteReader& in, int sizeBits) {
    int count = 1 << (sizeBits + 1);
    std::string_view raw = in.Bytes(static_cast<size_t>(count) * 3);
    std::vector<uint32_t> map(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        auto c = [&](int k) { return static_cast<uint32_t>(static_cast<uint8_t>(raw[i * 3 + k])); };
        map[i] = c(0) | (c(1) << 8) | (c(2) << 16);
    }
    return map;
}

bool EqualNoCase(std::string_view a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Reads the variable-width codes of the joined sub-blocks, least significant
// bit first.
struct TLzwCodes {
    const uint8_t* Src;
    size_t Size;
    size_t In = 0;
    uint32_t Bits = 0;
    int Count = 0;
    // False when the data ends before a whole code.
    bool Read(int width, int& code) {
        while (Count < width && In < Size) {
            Bits |= static_cast<uint32_t>(Src[In++]) << Count;
            Count += 8;
        }
        if (Count < width) return false;
        code = static_cast<int>(Bits & ((1u << width) - 1));
        Bits >>= width;
        Count -= width;
        return true;
    }
};

// The string table. For each code: the code of its prefix, its last byte,
// its first byte and its length.
struct TLzwTable {
    static constexpr int kMaxCodes = 4096;
    uint16_t Prefix[kMaxCodes];
    uint8_t Suffix[kMaxCodes], First[kMaxCodes];
    uint16_t Length[kMaxCodes];
    explicit TLzwTable(int clear) {
        for (int i = 0; i < clear && i < kMaxCodes; ++i) {
            Prefix[i] = 0;
            Suffix[i] = First[i] = static_cast<uint8_t>(i);
            Length[i] = 1;
        }
    }
    // Writes the string of `code` from dst[pos] on, cut at `total`; returns its length.
    size_t Write(int code, uint8_t* dst, size_t pos, size_t total) const {
        size_t len = Length[code];
        if (pos + len <= total) {
            uint8_t* p = dst + pos + len - 1;
            int c = code;
            for (size_t k = 0; k < len; ++k) {
                *p-- = Suffix[c];
                c = Prefix[c];
            }
        } else {
            int c = code;
            for (size_t k = len; k-- > 0;) {
                if (pos + k < total) dst[pos + k] = Suffix[c];
                c = Prefix[c];
            }
        }
        return len;
    }
    void Add(int code, int previous, uint8_t lastByte) {
        Prefix[code] = static_cast<uint16_t>(previous);
        Suffix[code] = lastByte;
        First[code] = First[previous];
        Length[code] = static_cast<uint16_t>(Length[previous] + 1);
    }
};

// LZW decoding of one frame's joined sub-block data into `out` (exactly
// out.size() indexes, in stream order), for initial code sizes 1 to 11.
// Returns false when the data is damaged: a code not yet defined, or too few
// pixels.
bool DecodeLZW(std::string_view data, int codeSize, std::vector<uint8_t>& out, uint8_t fill) {
    constexpr int kMaxCodes = TLzwTable::kMaxCodes;
    bool ok = true;
    const int clear = 1 << codeSize, endCode = clear + 1;
    TLzwTable table(clear);
    const size_t total = out.size();
    uint8_t* dst = out.data();
    size_t pos = 0;
    int width = codeSize + 1, next = clear + 2, previous = -1;
    TLzwCodes codes{reinterpret_cast<const uint8_t*>(data.data()), data.size()};

    while (pos < total) {
        int code;
        if (!codes.Read(width, code)) break;  // data ended early
        if (code == clear) {
            width = codeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == endCode) break;
        if (previous < 0) {
            if (code >= clear) {
                ok = false;
                break;
            }
            dst[pos++] = static_cast<uint8_t>(code);
            previous = code;
            // With code size 1 the first free code (4) already needs a wider code.
            if (next >= (1 << width) && width < 12) ++width;
            continue;
        }
        int emit;  // the code whose string is written (for code == next: previous, then its first byte)
        uint8_t firstByte;
        if (code < next) {
            emit = code;
            firstByte = table.First[code];
        } else if (code == next && next < kMaxCodes) {
            emit = previous;
            firstByte = table.First[previous];
        } else {
            ok = false;
            break;
        }
        pos += table.Write(emit, dst, pos, total);
        if (code == next) {
            if (pos < total) dst[pos] = firstByte;
            ++pos;
        }
        if (next < kMaxCodes) {
            table.Add(next, previous, firstByte);
            ++next;
            if (next >= (1 << width) && width < 12) ++width;
        }
        previous = code;
    }
    if (pos < total) {
        std::fill(dst + pos, dst + total, fill);
        return false;
    }
    return ok;
}

void Deinterlace(std::vector<uint8_t>& pixels, int width, int height) {
    if (pixels.empty()) return;  // a frame of width 0 has no rows to move
    std::vector<uint8_t> rows(pixels.size());
    static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    size_t source = 0;
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass]) {
            std::memcpy(rows.data() + static_cast<size_t>(y) * width, pixels.data() + source, width);
            source += width;
        }
    pixels.swap(rows);
}

void ApplyGraphicControl(TGIFFrame& frame, const std::string& data) {
    if (data.size() < 4) return;
    auto packed = static_cast<uint8_t>(data[0]);
    int delay = static_cast<uint8_t>(data[1]) | (static_cast<uint8_t>(data[2]) << 8);
    int index = static_cast<uint8_t>(data[3]);
    if ((packed & 1) && index < static_cast<int>(frame.ColorMap.size())) {
        frame.TransparentIndex = index;
        frame.TransparentColor = frame.ColorMap[index];
    } else {
        frame.TransparentIndex = -1;
        frame.TransparentColor = kGIFNoColor;
    }
    frame.AnimateInterval = std::max(delay * 10, frame.AnimateInterval);
    frame.Disposal = (packed >> 2) & 7;
}

// An application extension asking for a loop: returns the repeat count.
bool LoopExtension(std::string_view id, const std::string& firstBlock, int& repeat) {
    if (id != "NETSCAPE2.0" && id != "ANIMEXTS1.0") return false;
    if (firstBlock.size() < 3 || firstBlock[0] != 1) return false;
    repeat = std::min(30000, static_cast<uint8_t>(firstBlock[1]) | (static_cast<uint8_t>(firstBlock[2]) << 8));
    return true;
}

void AppendLines(const std::string& text, std::vector<std::string>& lines) {
    size_t i = 0;
    while (i < text.size()) {
        size_t end = text.find_first_of("\r\n", i);
        if (end == std::string::npos) {
            lines.push_back(text.substr(i));
            break;
        }
        lines.push_back(text.substr(i, end - i));
        i = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
}

// What one load reads, step by step, into a fresh image; the caller takes the
// image over only when the whole read succeeded.
class TGIFLoader {
public:
    TGIFLoader(std::string_view data, TGIFImage& result) : FIn(data), FResult(result) {}

    void Run() {
        ReadScreen();
        while (!FIn.AtEnd()) {
            uint8_t introducer = FIn.Byte();
            if (introducer == ';') break;
            if (introducer == '!') {
                if (!ReadExtension()) break;
                continue;
            }
            if (introducer != ',') {
                // Bytes that begin no block: an error right after extensions,
                // else the end of the usable data (trailing padding or garbage).
                if (!FCollected.empty()) throw EGIFError(kStreamReadErrorText);
                break;
            }
            if (!ReadFrame()) break;
        }
        for (const std::string& text : FTrailingComments) {
            if (!FResult.Comment.empty()) FResult.Comment.emplace_back();
            AppendLines(text, FResult.Comment);
        }
        FResult.FrameIndex = FResult.Frames.empty() ? -1 : 0;
    }

private:
    // Signature, version, logical screen and global colour table.
    void ReadScreen() {
        if (FIn.Remaining() < 6) throw EGIFError(kGIFUnknownVersionText);
        std::string_view signature = FIn.Bytes(3), version = FIn.Bytes(3);
        if (!EqualNoCase(signature, "GIF") || !(EqualNoCase(version, "87a") || EqualNoCase(version, "89a")))
            throw EGIFError(kGIFUnknownVersionText);
        FResult.Version = std::string(version);
        FResult.ScreenWidth = FIn.Word();
        FResult.ScreenHeight = FIn.Word();
        uint8_t packed = FIn.Byte();
        int background = FIn.Byte();
        FIn.Byte();  // pixel aspect ratio
        if (packed & 0x80) {
            FResult.GlobalColorMap = ReadColorMap(FIn, packed & 7);
            if (background < static_cast<int>(FResult.GlobalColorMap.size()))
                FResult.BackgroundColor = FResult.GlobalColorMap[background];
        }
        if (static_cast<int64_t>(FResult.ScreenWidth) * FResult.ScreenHeight > TGIFImage::MaxFramePixels)
            throw EGIFError(kStreamReadErrorText);
    }

    // The extension after its introducer. Returns false when the data ends
    // inside it: the blocks read so far are kept.
    bool ReadExtension() {
        if (FIn.AtEnd()) return false;
        uint8_t label = FIn.Byte();
        if (label == 0xF9 || label == 0xFE) {
            TGIFExtension ext{label, {}};
            bool complete = FIn.SubBlocks(&ext.Data);
            if (label == 0xFE) FTrailingComments.push_back(ext.Data);
            FCollected.push_back(std::move(ext));
            return complete;
        }
        if (label == 0xFF) return ReadApplicationExtension();
        // Plain text discards what was collected; other labels are skipped
        // as the format allows for unknown extensions.
        if (label == 0x01) {
            FCollected.clear();
            FTrailingComments.clear();
        }
        return FIn.SubBlocks(nullptr);
    }

    bool ReadApplicationExtension() {
        std::string id;
        if (!FIn.AtEnd()) {
            size_t n = FIn.Byte();
            id = std::string(FIn.Bytes(std::min(n, FIn.Remaining())));
            if (n != 11) id.clear();
        }
        std::string firstBlock;
        if (!FIn.AtEnd()) {
            size_t n = FIn.Byte();
            firstBlock = std::string(FIn.Bytes(std::min(n, FIn.Remaining())));
            if (n != 0 && !FIn.SubBlocks(nullptr)) return false;
        }
        int repeat = 1;
        if (LoopExtension(id, firstBlock, repeat)) {
            FResult.Looping = true;
            FResult.RepeatCount = repeat;
        }
        return true;
    }

    // The image after its separator. Returns false when the data ends inside
    // it: a frame whose pixels began is kept, marked corrupted.
    bool ReadFrame() {
        TGIFFrame frame;
        if (!ReadDescriptor(frame)) return false;
        frame.Extensions = std::move(FCollected);
        FCollected.clear();
        FTrailingComments.clear();
        for (const TGIFExtension& ext : frame.Extensions)
            if (ext.Label == 0xF9) ApplyGraphicControl(frame, ext.Data);

        int64_t pixels = static_cast<int64_t>(frame.Width) * frame.Height;
        FTotalPixels += pixels;
        if (pixels > TGIFImage::MaxFramePixels || FTotalPixels > TGIFImage::MaxTotalPixels)
            throw EGIFError(kStreamReadErrorText);
        // The code width never exceeds 12 bits: sizes from 1 to 11 can be
        // decoded, 0 and 12 or more cannot be meant.
        int codeSize = FIn.AtEnd() ? 2 : FIn.Byte();
        if (codeSize < 1 || codeSize > 11) throw EGIFError(kStreamReadErrorText);
        std::string lzw;
        bool complete = FIn.SubBlocks(&lzw);
        frame.Pixels.resize(static_cast<size_t>(pixels));
        uint8_t fill = static_cast<uint8_t>(frame.TransparentIndex >= 0 ? frame.TransparentIndex : 0);
        frame.Corrupted = !DecodeLZW(lzw, codeSize, frame.Pixels, fill) || !complete;
        if (frame.Interlaced && frame.Height > 1) Deinterlace(frame.Pixels, frame.Width, frame.Height);
        FResult.Frames.push_back(std::move(frame));
        return complete;
    }

    // Place, size, flags and local colour table. Returns false when the data
    // ends inside the descriptor: the frames before it are kept.
    bool ReadDescriptor(TGIFFrame& frame) {
        try {
            frame.Left = FIn.Word();
            frame.Top = FIn.Word();
            frame.Width = FIn.Word();
            frame.Height = FIn.Word();
            uint8_t flags = FIn.Byte();
            frame.Interlaced = (flags & 0x40) != 0;
            frame.ColorMap = (flags & 0x80) ? ReadColorMap(FIn, flags & 7) : FResult.GlobalColorMap;
        } catch (const EGIFError&) {
            return false;
        }
        if (frame.Width == 0) frame.Width = FResult.ScreenWidth;
        if (frame.Height == 0) frame.Height = FResult.ScreenHeight;
        return true;
    }

    TByteReader FIn;
    TGIFImage& FResult;
    std::vector<TGIFExtension> FCollected;       // extensions waiting for their frame
    std::vector<std::string> FTrailingComments;  // comments after the last frame
    int64_t FTotalPixels = 0;
};

}  // namespace

void TGIFImage::Clear() {
    Version.clear();
    ScreenWidth = ScreenHeight = 0;
    BackgroundColor = kGIFNoColor;
    GlobalColorMap.clear();
    Frames.clear();
    FrameIndex = -1;
    Looping = false;
    RepeatCount = 1;
    Comment.clear();
    Changed();
}

void TGIFImage::LoadFromFile(const std::string& path) {
    std::optional<std::string> bytes = ReadFileIfExists(path);
    if (!bytes) throw EFOpenError(path, SystemErrorText(2));
    LoadFromBytes(*bytes);
}

void TGIFImage::LoadFromBytes(std::string_view data) {
    TGIFImage result;
    result.Transparent = Transparent;
    TGIFLoader(data, result).Run();

    Version = std::move(result.Version);
    ScreenWidth = result.ScreenWidth;
    ScreenHeight = result.ScreenHeight;
    BackgroundColor = result.BackgroundColor;
    GlobalColorMap = std::move(result.GlobalColorMap);
    Frames = std::move(result.Frames);
    FrameIndex = result.FrameIndex;
    Looping = result.Looping;
    RepeatCount = result.RepeatCount;
    Comment = std::move(result.Comment);
    Changed();
}

int TGIFImage::FrameDelay(int i) const {
    if (Frames.size() < 2 || i < 0 || i >= static_cast<int>(Frames.size())) return 0;
    return std::clamp(Frames[i].AnimateInterval, 50, 10000);
}

bool TGIFImage::IsTransparent() const {
    if (!Transparent) return false;
    for (const TGIFFrame& f : Frames)
        if (f.TransparentColor != kGIFNoColor) return true;
    return false;
}

// ---- composition ----

namespace {

// Fills with the fill colour, which is transparent when the composition has
// a transparent colour.
void FillRect(TGIFComposition& c, int left, int top, int width, int height) {
    int x0 = std::max(left, 0), y0 = std::max(top, 0);
    int x1 = std::min(left + width, c.Width), y1 = std::min(top + height, c.Height);
    uint8_t hole = c.TransparentColor != kGIFNoColor;
    for (int y = y0; y < y1; ++y) {
        size_t row = static_cast<size_t>(y) * c.Width + x0;
        std::fill_n(c.Pixels.data() + row, x1 - x0, SwapRedBlue(c.FillColor));
        std::fill_n(c.Mask.data() + row, x1 - x0, hole);
    }
}

// Draws a frame at its position, leaving out its transparent index.
void DrawFrame(TGIFComposition& c, const TGIFFrame& f) {
    uint32_t palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = i < static_cast<int>(f.ColorMap.size()) ? SwapRedBlue(f.ColorMap[i]) : 0;
    int x0 = std::max(f.Left, 0), y0 = std::max(f.Top, 0);
    int x1 = std::min(f.Left + f.Width, c.Width), y1 = std::min(f.Top + f.Height, c.Height);
    if (x0 >= x1) return;
    for (int y = y0; y < y1; ++y) {
        const uint8_t* src = f.Pixels.data() + static_cast<size_t>(y - f.Top) * f.Width + (x0 - f.Left);
        uint32_t* dst = c.Pixels.data() + static_cast<size_t>(y) * c.Width + x0;
        uint8_t* hole = c.Mask.data() + static_cast<size_t>(y) * c.Width + x0;
        int n = x1 - x0;
        if (f.TransparentIndex < 0) {
            for (int x = 0; x < n; ++x) dst[x] = palette[src[x]];
            std::fill_n(hole, n, uint8_t{0});
        } else {
            auto skip = static_cast<uint8_t>(f.TransparentIndex);
            for (int x = 0; x < n; ++x)
                if (src[x] != skip) {
                    dst[x] = palette[src[x]];
                    hole[x] = 0;
                }
        }
    }
}

}  // namespace

void TGIFComposition::Drop() {
    Pixels.clear();
    Mask.clear();
    Width = Height = 0;
    Index = -1;
    TransparentColor = kGIFNoColor;
}

bool TGIFComposition::Compose(const TGIFImage& image, int n, uint32_t windowColor) {
    const std::vector<TGIFFrame>& frames = image.Frames;
    if (frames.empty()) {
        Drop();
        return true;
    }
    n = std::clamp(n, 0, static_cast<int>(frames.size()) - 1);
    bool sameScreen = Width == image.ScreenWidth && Height == image.ScreenHeight;
    if (sameScreen && Index >= 0 && Index == n - 1 && frames[Index].Disposal != dmPrevious) {
        const TGIFFrame& last = frames[Index];
        if (last.Disposal == dmBackground) FillRect(*this, last.Left, last.Top, last.Width, last.Height);
        DrawFrame(*this, frames[n]);
        Index = n;
        return false;
    }

    Width = image.ScreenWidth;
    Height = image.ScreenHeight;
    Pixels.assign(static_cast<size_t>(Width) * Height, 0);
    TransparentColor = kGIFNoColor;
    const TGIFFrame* still = image.FrameIndex >= 0 && image.FrameIndex < static_cast<int>(frames.size())
                                 ? &frames[image.FrameIndex]
                                 : nullptr;
    if (still && still->TransparentColor != kGIFNoColor) {
        FillColor = still->TransparentColor;  // a 32-bit bitmap shows every colour exactly
        TransparentColor = FillColor;
    } else if (image.BackgroundColor != kGIFNoColor && image.IsTransparent()) {
        FillColor = image.BackgroundColor;
    } else {
        FillColor = windowColor;
    }
    std::fill(Pixels.begin(), Pixels.end(), SwapRedBlue(FillColor));
    Mask.assign(Pixels.size(), TransparentColor != kGIFNoColor);

    int start = 0;
    for (int i = n; i >= 1; --i) {
        const TGIFFrame& f = frames[i];
        // A frame restored to the previous picture hides nothing after it,
        // so it cannot be where an earlier frame starts the composition.
        bool opaque = f.TransparentColor == kGIFNoColor && (f.Disposal != dmPrevious || i == n);
        if (f.CoversScreen(Width, Height) && (opaque || (f.Disposal == dmBackground && i < n))) {
            start = i;
            break;
        }
    }
    for (int i = start; i < n; ++i) {
        const TGIFFrame& f = frames[i];
        // Undefined methods 4 to 7 leave the frame in place, as in the
        // incremental step.
        if (f.Disposal == dmBackground) {
            if (i > start) FillRect(*this, f.Left, f.Top, f.Width, f.Height);
        } else if (f.Disposal != dmPrevious) {
            DrawFrame(*this, f);
        }
    }
    DrawFrame(*this, frames[n]);
    Index = n;
    return true;
}
