// The recording file: its bytes are described in docs/recordings.md. The writer and the reader
// hold a frame to the same limits, so the game never writes a file it would refuse to read.
#include "demo/demo.h"

#include "platform/platform.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

// The line every recording starts with, so that any other file is told apart at once.
const char MAGIC[] = "Grazewell recording\n";
const size_t MAGIC_SIZE = sizeof MAGIC - 1;

// The longest game version and platform names a header holds (bytes).
const uint32_t MAX_VERSION_BYTES = 64;
const uint32_t MAX_PLATFORM_BYTES = 16;
// The fastest pace --fps takes.
const int32_t MAX_FPS = 1000;
// No frame the game writes comes near this (a frame is a few bytes to a few hundred); a longer
// one is a damaged or made-up file.
const uint32_t MAX_FRAME_BYTES = 1u << 20;
// The largest file read: a day of play at 60 frames a second, hours at hundreds, and small
// enough to read whole into memory (each byte may become twenty there).
const long MAX_FILE_BYTES = 64L << 20;
// Key codes are bytes; GLUT's special keys and mouse buttons are small numbers.
const int32_t MAX_KEY = 255;
const int32_t MAX_BUTTON = 15;
// X11's and Windows' window coordinates are 16-bit: a click outside that is no click at all.
const int32_t MIN_POSITION = -32768;
const int32_t MAX_POSITION = 32767;

std::string str(long long value) {
    return std::to_string(value);
}

// Why an event could not have come from the game, or "" when it could.
std::string eventTrouble(const DemoEvent &event) {
    auto outside = [](const char *what, int32_t value, int32_t low, int32_t high) {
        if (value >= low && value <= high) return std::string();
        return std::string(what) + " " + str(value) + " out of range " + str(low) + ".." +
               str(high);
    };
    switch (event.type) {
    case DEMO_KEY_DOWN:
    case DEMO_KEY_UP:
        return outside("key code", event.a, 0, MAX_KEY);
    case DEMO_SPECIAL_DOWN:
    case DEMO_SPECIAL_UP:
        return outside("special key code", event.a, 0, MAX_KEY);
    case DEMO_MOUSE: {
        std::string trouble = outside("mouse button", event.a, 0, MAX_BUTTON);
        if (trouble.empty()) trouble = outside("mouse button state", event.b, 0, 1);
        if (trouble.empty()) trouble = outside("click x", event.c, MIN_POSITION, MAX_POSITION);
        if (trouble.empty()) trouble = outside("click y", event.d, MIN_POSITION, MAX_POSITION);
        return trouble;
    }
    case DEMO_RESHAPE: {
        std::string trouble = outside("reshape width", event.a, 0, DEMO_MAX_WINDOW_SIDE);
        if (trouble.empty()) trouble = outside("reshape height", event.b, 0, DEMO_MAX_WINDOW_SIDE);
        return trouble;
    }
    case DEMO_KEYS_RELEASED:
        return "";
    case DEMO_SPEED:
        return outside("game speed", event.a, DEMO_MIN_SPEED, DEMO_MAX_SPEED);
    }
    return "unknown event type " + str(int(event.type));
}

bool printable(const std::string &text) {
    for (char c : text)
        if (c < 0x20 || c > 0x7e) return false;
    return true;
}

// Why a header could not have come from the game, or "".
std::string headerTrouble(const DemoHeader &header) {
    if (header.formatVersion == 0)
        return "format version 0 is no version of this game's recordings";
    if (header.formatVersion > DEMO_FORMAT_VERSION)
        return "made by a newer game: format version " + str(header.formatVersion) +
               ", this game reads up to version " + str(DEMO_FORMAT_VERSION);
    if (header.gameVersion.size() > MAX_VERSION_BYTES || !printable(header.gameVersion))
        return "the game version is not a short line of printable characters";
    if (header.width < 1 || header.width > DEMO_MAX_WINDOW_SIDE || header.height < 1 ||
        header.height > DEMO_MAX_WINDOW_SIDE)
        return "absurd window size " + str(header.width) + " x " + str(header.height) +
               " (each side 1.." + str(DEMO_MAX_WINDOW_SIDE) + ")";
    if (header.fps < 0 || header.fps > MAX_FPS)
        return "pace " + str(header.fps) + " frames a second out of range 0.." + str(MAX_FPS);
    if (header.platform.size() > MAX_PLATFORM_BYTES || !printable(header.platform))
        return "the platform is not a short word of printable characters";
    if (header.speed < DEMO_MIN_SPEED || header.speed > DEMO_MAX_SPEED ||
        (header.formatVersion < 3 && header.speed != 100))
        return "game speed " + str(header.speed) + " out of range " + str(DEMO_MIN_SPEED) + ".." +
               str(header.formatVersion < 3 ? 100 : DEMO_MAX_SPEED);
    return "";
}

// Why a frame could not have come from the game, or "".
std::string frameTrouble(const DemoFrame &frame) {
    if (frame.events.size() > DEMO_MAX_EVENTS)
        return str((long long)frame.events.size()) + " events in one tick";
    for (const DemoEvent &event : frame.events) {
        std::string trouble = eventTrouble(event);
        if (!trouble.empty()) return trouble;
    }
    if (!frame.picked && !frame.pickHits.empty()) return "pick hits in a frame that did not pick";
    for (int32_t hit : frame.pickHits)
        if (hit < 0 || hit >= DEMO_FOOD_LIMIT)
            return "food index " + str(hit) + " out of range 0.." + str(DEMO_FOOD_LIMIT - 1);
    return "";
}

// --- Writing ---

void putU32(std::string &out, uint32_t value) {
    for (int i = 0; i < 4; i++) out += char((value >> (8 * i)) & 0xff);
}

void putVarint(std::string &out, uint32_t value) {
    while (value >= 0x80) {
        out += char((value & 0x7f) | 0x80);
        value >>= 7;
    }
    out += char(value);
}

// Small numbers of either sign stay short: 0, -1, 1, -2, ... as 0, 1, 2, 3, ...
uint32_t zigzag(int32_t value) {
    return (uint32_t(value) << 1) ^ uint32_t(value >> 31);
}

int32_t unzigzag(uint32_t value) {
    return int32_t((value >> 1) ^ (~(value & 1) + 1));
}

void putText(std::string &out, const std::string &text) {
    putVarint(out, uint32_t(text.size()));
    out += text;
}

std::string encodeHeader(const DemoHeader &header) {
    std::string out(MAGIC, MAGIC_SIZE);
    putU32(out, header.formatVersion);
    putText(out, header.gameVersion);
    putU32(out, header.seed);
    putVarint(out, uint32_t(header.width));
    putVarint(out, uint32_t(header.height));
    putVarint(out, uint32_t(header.fps));
    putText(out, header.platform);
    if (header.formatVersion >= 3) putVarint(out, uint32_t(header.speed));
    putU32(out, header.fingerprint);
    return out;
}

std::string encodeFrameBody(const DemoFrame &frame) {
    std::string out;
    putVarint(out, uint32_t(frame.events.size()));
    for (const DemoEvent &event : frame.events) {
        out += char(event.type);
        switch (event.type) {
        case DEMO_KEY_DOWN:
        case DEMO_KEY_UP:
        case DEMO_SPECIAL_DOWN:
        case DEMO_SPECIAL_UP:
            putVarint(out, uint32_t(event.a));
            break;
        case DEMO_MOUSE:
            putVarint(out, uint32_t(event.a));
            putVarint(out, uint32_t(event.b));
            putVarint(out, zigzag(event.c));
            putVarint(out, zigzag(event.d));
            break;
        case DEMO_RESHAPE:
            putVarint(out, uint32_t(event.a));
            putVarint(out, uint32_t(event.b));
            break;
        case DEMO_KEYS_RELEASED:
            break;
        case DEMO_SPEED:
            putVarint(out, uint32_t(event.a));
            break;
        }
    }
    out += char(frame.picked ? 1 : 0);
    if (frame.picked) {
        putVarint(out, uint32_t(frame.pickHits.size()));
        for (int32_t hit : frame.pickHits) putVarint(out, uint32_t(hit));
    }
    putVarint(out, uint32_t(frame.draws.size()));
    for (int32_t draw : frame.draws) putU32(out, uint32_t(draw));
    putU32(out, frame.checksum);
    return out;
}

bool writeAll(FILE *file, const std::string &bytes) {
    return fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && fflush(file) == 0;
}

// --- Reading ---

// Reads the bytes of a recording front to back; the first trouble met is kept in `trouble`.
struct Reader {
    const uint8_t *at;
    const uint8_t *end;
    std::string trouble;

    size_t left() const { return size_t(end - at); }

    bool fail(const std::string &why) {
        if (trouble.empty()) trouble = why;
        return false;
    }
    bool byte(uint8_t &value) {
        if (at == end) return fail("truncated");
        value = *at++;
        return true;
    }
    bool u32(uint32_t &value) {
        if (left() < 4) return fail("truncated");
        value =
            uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
        at += 4;
        return true;
    }
    bool varint(uint32_t &value) {
        value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            uint8_t b;
            if (!byte(b)) return false;
            if (shift == 28 && (b & 0x70)) return fail("a number too large for 32 bits");
            value |= uint32_t(b & 0x7f) << shift;
            if (!(b & 0x80)) return true;
        }
        return fail("a number too large for 32 bits");
    }
    // A count of items each at least `itemBytes` long, which must fit in what is left.
    bool count(uint32_t &value, size_t itemBytes, const char *what) {
        if (!varint(value)) return false;
        if (value > left() / itemBytes)
            return fail(str(value) + " " + what + " in " + str(left()) + " bytes");
        return true;
    }
    // A varint that must lie in low..high.
    bool ranged(int32_t &value, uint32_t high, const char *what) {
        uint32_t raw;
        if (!varint(raw)) return false;
        if (raw > high)
            return fail(std::string(what) + " " + str(raw) + " out of range 0.." + str(high));
        value = int32_t(raw);
        return true;
    }
    bool text(std::string &value, uint32_t most, const char *what) {
        uint32_t size;
        if (!varint(size)) return false;
        if (size > most)
            return fail(std::string(what) + " is " + str(size) + " bytes long, more than " +
                        str(most));
        if (size > left()) return fail("truncated");
        value.assign(reinterpret_cast<const char *>(at), size);
        at += size;
        return true;
    }
};

bool readHeader(Reader &in, DemoHeader &header) {
    if (in.left() == 0) return in.fail("empty: not a recording of this game");
    if (in.left() < MAGIC_SIZE) {
        if (memcmp(in.at, MAGIC, in.left()) != 0) return in.fail("not a recording of this game");
        return in.fail("truncated: the file ends inside its header");
    }
    if (memcmp(in.at, MAGIC, MAGIC_SIZE) != 0) return in.fail("not a recording of this game");
    in.at += MAGIC_SIZE;
    uint32_t width = 0, height = 0, fps = 0, speed = 100;
    bool whole = in.u32(header.formatVersion);
    // A newer format may lay out what follows otherwise: its version is all that is read.
    if (whole && (header.formatVersion == 0 || header.formatVersion > DEMO_FORMAT_VERSION))
        return in.fail(headerTrouble(header));
    whole = whole && in.text(header.gameVersion, MAX_VERSION_BYTES, "the game version") &&
            in.u32(header.seed) && in.varint(width) && in.varint(height) && in.varint(fps) &&
            in.text(header.platform, MAX_PLATFORM_BYTES, "the platform") &&
            (header.formatVersion < 3 || in.varint(speed)) &&
            (header.formatVersion < 2 || in.u32(header.fingerprint));
    if (!whole) {
        if (in.trouble == "truncated") in.trouble = "truncated: the file ends inside its header";
        return false;
    }
    // Held to the limits before they are cast to the header's signed fields.
    if (width > uint32_t(DEMO_MAX_WINDOW_SIDE) || height > uint32_t(DEMO_MAX_WINDOW_SIDE))
        return in.fail("absurd window size " + str(width) + " x " + str(height) +
                       " (each side 1.." + str(DEMO_MAX_WINDOW_SIDE) + ")");
    if (fps > uint32_t(MAX_FPS))
        return in.fail("pace " + str(fps) + " frames a second out of range 0.." + str(MAX_FPS));
    if (speed > uint32_t(DEMO_MAX_SPEED))
        return in.fail("game speed " + str(speed) + " out of range " + str(DEMO_MIN_SPEED) + ".." +
                       str(DEMO_MAX_SPEED));
    header.speed = int32_t(speed);
    header.width = int32_t(width);
    header.height = int32_t(height);
    header.fps = int32_t(fps);
    std::string trouble = headerTrouble(header);
    return trouble.empty() || in.fail(trouble);
}

bool readEvent(Reader &in, DemoEvent &event) {
    uint8_t type;
    if (!in.byte(type)) return false;
    event = DemoEvent{DemoEventType(type)};
    uint32_t x, y;
    switch (type) {
    case DEMO_KEY_DOWN:
    case DEMO_KEY_UP:
        return in.ranged(event.a, MAX_KEY, "key code");
    case DEMO_SPECIAL_DOWN:
    case DEMO_SPECIAL_UP:
        return in.ranged(event.a, MAX_KEY, "special key code");
    case DEMO_MOUSE:
        if (!in.ranged(event.a, MAX_BUTTON, "mouse button") ||
            !in.ranged(event.b, 1, "mouse button state") || !in.varint(x) || !in.varint(y))
            return false;
        event.c = unzigzag(x);
        event.d = unzigzag(y);
        break;
    case DEMO_RESHAPE:
        if (!in.ranged(event.a, DEMO_MAX_WINDOW_SIDE, "reshape width") ||
            !in.ranged(event.b, DEMO_MAX_WINDOW_SIDE, "reshape height"))
            return false;
        break;
    case DEMO_KEYS_RELEASED:
        break;
    case DEMO_SPEED:
        if (!in.varint(x)) return false;
        // Held to the limit before it is cast; a speed of 0 is refused below.
        event.a = x > uint32_t(DEMO_MAX_SPEED) ? -1 : int32_t(x);
        if (event.a < 0)
            return in.fail("game speed " + str(x) + " out of range " + str(DEMO_MIN_SPEED) + ".." +
                           str(DEMO_MAX_SPEED));
        break;
    default:
        return in.fail("unknown event type " + str(type));
    }
    std::string trouble = eventTrouble(event);
    return trouble.empty() || in.fail(trouble);
}

// One frame's body, which must fill `in` exactly.
bool readFrameBody(Reader &in, DemoFrame &frame) {
    uint32_t events;
    if (!in.count(events, 1, "events")) return false;
    if (events > DEMO_MAX_EVENTS)
        return in.fail(str(events) + " events in one tick, more than a tick takes (" +
                       str(DEMO_MAX_EVENTS) + ")");
    frame.events.resize(events);
    for (DemoEvent &event : frame.events)
        if (!readEvent(in, event)) return false;
    uint8_t picked;
    if (!in.byte(picked)) return false;
    if (picked > 1) return in.fail("pick flag " + str(picked) + " is neither 0 nor 1");
    frame.picked = picked == 1;
    if (frame.picked) {
        uint32_t hits;
        if (!in.count(hits, 1, "pick hits")) return false;
        frame.pickHits.resize(hits);
        for (int32_t &hit : frame.pickHits)
            if (!in.ranged(hit, DEMO_FOOD_LIMIT - 1, "food index")) return false;
    }
    uint32_t draws;
    if (!in.count(draws, 4, "random draws")) return false;
    frame.draws.resize(draws);
    for (int32_t &draw : frame.draws) {
        uint32_t raw;
        if (!in.u32(raw)) return false;
        draw = int32_t(raw);
    }
    if (!in.u32(frame.checksum)) return false;
    if (in.left() != 0) return in.fail(str(in.left()) + " bytes left over after its checksum");
    return true;
}

} // namespace

bool createDemoFile(DemoWriter &writer, const char *path, std::string *reason) {
    writer.file = createNewFile(path);
    if (!writer.file && reason)
        *reason = errno == EEXIST ? "already exists: a recording never replaces a file"
                                  : std::string(strerror(errno));
    return writer.file != nullptr;
}

bool writeDemoHeader(DemoWriter &writer, const DemoHeader &header, std::string *reason) {
    std::string trouble = headerTrouble(header);
    if (!trouble.empty()) {
        if (reason) *reason = trouble;
        return false;
    }
    long at = writer.file ? ftell(writer.file) : -1;
    std::string bytes = encodeHeader(header);
    if (!writer.file || !writeAll(writer.file, bytes)) {
        if (reason) *reason = std::string("cannot be written: ") + strerror(errno);
        return false;
    }
    // The fingerprint is the header's last four bytes.
    writer.fingerprintAt = at >= 0 && header.formatVersion >= 2 ? at + long(bytes.size()) - 4 : -1;
    return true;
}

bool setDemoFingerprint(DemoWriter &writer, uint32_t fingerprint) {
    if (!writer.file || writer.fingerprintAt < 0) return false;
    std::string bytes;
    putU32(bytes, fingerprint);
    return fseek(writer.file, writer.fingerprintAt, SEEK_SET) == 0 &&
           fwrite(bytes.data(), 1, bytes.size(), writer.file) == bytes.size() &&
           fseek(writer.file, 0, SEEK_END) == 0 && fflush(writer.file) == 0;
}

bool openDemoWriter(DemoWriter &writer, const char *path, const DemoHeader &header,
                    std::string *reason) {
    writer.file = nullptr;
    std::string trouble = headerTrouble(header);
    if (!trouble.empty()) {
        if (reason) *reason = trouble;
        return false;
    }
    if (!createDemoFile(writer, path, reason)) return false;
    if (!writeDemoHeader(writer, header, reason)) {
        fclose(writer.file);
        writer.file = nullptr;
        remove(path);
        return false;
    }
    return true;
}

bool writeDemoFrame(DemoWriter &writer, const DemoFrame &frame) {
    if (!writer.file || !frameTrouble(frame).empty()) return false;
    std::string body = encodeFrameBody(frame);
    if (body.size() > MAX_FRAME_BYTES) return false;
    std::string bytes;
    putVarint(bytes, uint32_t(body.size()));
    return writeAll(writer.file, bytes + body);
}

void closeDemoWriter(DemoWriter &writer) {
    if (writer.file) fclose(writer.file);
    writer.file = nullptr;
}

bool parseDemo(const uint8_t *data, size_t size, Demo &demo, std::string *reason) {
    Reader in{data, data + size, ""};
    Demo read;
    // The bodies take at most the file's bytes.
    read.frames.bodies.reserve(size);
    bool ok = readHeader(in, read.header);
    while (ok && in.left() > 0) {
        std::string where =
            "frame " + str(read.frames.size() + 1) + " (at byte " + str(in.at - data) + "): ";
        uint32_t length;
        if (!in.varint(length)) {
            // A game killed while writing its length: the frame is lost, the rest kept.
            ok = in.trouble == "truncated";
            read.endsMidFrame = ok;
            if (!ok) in.trouble = where + in.trouble;
            break;
        }
        if (length > MAX_FRAME_BYTES) {
            ok = in.fail(where + "its length " + str(length) +
                         " is beyond any frame the game writes (at most " + str(MAX_FRAME_BYTES) +
                         " bytes)");
            break;
        }
        if (length > in.left()) {
            // Killed while writing the frame's body: likewise.
            read.endsMidFrame = true;
            break;
        }
        Reader body{in.at, in.at + length, ""};
        DemoFrame frame;
        if (!readFrameBody(body, frame)) {
            if (body.trouble == "truncated") body.trouble = "shorter than its contents";
            ok = in.fail(where + body.trouble);
            break;
        }
        // Kept as the file has it: it was read whole and well just now.
        read.frames.bodies.append(reinterpret_cast<const char *>(in.at), length);
        read.frames.ends.push_back(read.frames.bodies.size());
        in.at += length;
    }
    if (!ok) {
        if (reason) *reason = in.trouble;
        return false;
    }
    demo = std::move(read);
    return true;
}

DemoFrame DemoFrames::operator[](size_t index) const {
    size_t from = index == 0 ? 0 : ends[index - 1];
    const uint8_t *body = reinterpret_cast<const uint8_t *>(bodies.data());
    Reader in{body + from, body + ends[index], ""};
    DemoFrame frame;
    readFrameBody(in, frame);
    return frame;
}

void DemoFrames::push_back(const DemoFrame &frame) {
    bodies += encodeFrameBody(frame);
    ends.push_back(bodies.size());
}

void DemoFrames::set(size_t index, const DemoFrame &frame) {
    size_t from = index == 0 ? 0 : ends[index - 1];
    std::string body = encodeFrameBody(frame);
    size_t was = ends[index] - from;
    bodies.replace(from, was, body);
    for (size_t later = index; later < ends.size(); later++)
        ends[later] = ends[later] - was + body.size();
}

void DemoFrames::resize(size_t count) {
    if (count < size()) {
        ends.resize(count);
        bodies.resize(count == 0 ? 0 : ends.back());
    }
    while (size() < count) push_back(DemoFrame());
}

void DemoFrames::clear() {
    resize(0);
}

bool readDemo(const char *path, Demo &demo, std::string *reason) {
    errno = 0;
    FILE *file = openRegularFile(path);
    if (!file) {
        if (reason)
            *reason = errno != 0 ? std::string(strerror(errno)) : std::string("not a regular file");
        return false;
    }
    long size = regularFileSize(file);
    if (size > MAX_FILE_BYTES) {
        fclose(file);
        if (reason)
            *reason = "too large for a recording (" + str(size) + " bytes, at most " +
                      str(MAX_FILE_BYTES) + ")";
        return false;
    }
    std::string bytes(size_t(size < 0 ? 0 : size), '\0');
    bool whole = fread(&bytes[0], 1, bytes.size(), file) == bytes.size();
    // Grown since its size was asked: what is there now is not what was measured.
    whole = whole && fgetc(file) == EOF;
    fclose(file);
    if (!whole) {
        if (reason) *reason = "changed or could not be read while it was read";
        return false;
    }
    return parseDemo(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size(), demo, reason);
}
