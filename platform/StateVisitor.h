// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One walk over a part's fields serves saving, loading, checking, comparing and listing a snapshot: each
// part names its fields once in a DoState(StateVisitor&), and the visitor decides what happens to them.
// Numbers are kept as their little-endian bytes, texts and sequences with their length before them.
// The bytes have a format, one number for the whole: a reader is told the one it reads, and a part
// reads the fields of an older format as that format had them.
#include <array>
#include <bit>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace vp7 {

static_assert(std::endian::native == std::endian::little, "snapshots keep numbers as they lie in memory");

// A snapshot that cannot be read: cut short, a size beyond its bound, a value out of its range.
class StateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class StateVisitor;
template <class T>
concept HasDoState = requires(T& t, StateVisitor& v) {
    t.DoState(v);
};

class StateVisitor {
public:
    enum class Mode {
        Save,    // the fields are written out
        Load,    // the fields take the snapshot's values
        Check,   // the snapshot is read through as loading would, changing nothing
        Compare, // the snapshot is read and the first field that differs is noted
        List,    // every field's place and size is noted, not its value (StateLayout)
    };

    StateVisitor(Mode mode, uint32_t format) : mode_(mode), format_(format) {}
    virtual ~StateVisitor() = default;
    StateVisitor(const StateVisitor&) = delete;
    StateVisitor& operator=(const StateVisitor&) = delete;

    Mode GetMode() const { return mode_; }
    // The format of the bytes written or read: a writer's is always the program's own.
    uint32_t Format() const { return format_; }
    // Reading, and nothing is left (an older format's part that was there only at times is absent).
    virtual bool AtEnd() const { return false; }
    // The fields' values are the device's own: they are written out, or listed.
    bool Saving() const { return mode_ == Mode::Save || mode_ == Mode::List; }
    // Fields may take the snapshot's values (only when loading).
    bool Loading() const { return mode_ == Mode::Load; }
    // Only the layout counts: a sequence shows one item, a text its length and no characters, so that
    // the listing is the same whatever the device holds.
    bool Listing() const { return mode_ == Mode::List; }

    // A field's bytes of a fixed size: written, or read into `data` (compared with it first when
    // comparing). Only loading hands a field itself here; the other modes hand copies.
    virtual void Bytes(std::string_view name, void* data, std::size_t size) = 0;
    // A length before a sequence: written, or read and bounded by `max` (and by what is left to read)
    // before anything is allocated for it.
    virtual void Count(std::string_view name, std::size_t& count, std::size_t max) = 0;
    // Reading past `size` bytes of a field that is not taken (another picture's pixels); only readers do.
    virtual void Skip(std::string_view name, std::size_t size) = 0;

    // The snapshot's pictures were drawn with other sprites or at another scale: they are read past,
    // and the device draws its picture anew from the rest.
    void RedrawPictures(bool redraw) { redrawPictures_ = redraw; }
    bool PicturesRedrawn() const { return redrawPictures_; }

    // The part whose fields follow, for the name of a field that differs.
    void Part(std::string_view name) { part_ = name; }
    std::string_view CurrentPart() const { return part_; }

    // A number's value as saved or as read; the field itself is the caller's to set.
    template <class T>
    requires(std::is_arithmetic_v<T> || std::is_enum_v<T>) T Value(std::string_view name, T value) {
        if constexpr (std::is_same_v<T, bool>) {
            uint8_t byte = value ? 1 : 0;
            Bytes(name, &byte, 1);
            if (byte > 1) throw StateError(std::string(name) + ": not a flag");
            return byte != 0;
        } else {
            Bytes(name, &value, sizeof value);
            return value;
        }
    }
    std::string Text(std::string_view name, std::string text, std::size_t max = kMaxText) {
        std::size_t size = text.size();
        Count(name, size, max);
        if (Listing()) return text;
        text.resize(size);
        Bytes(name, text.data(), size);
        return text;
    }
    // A text that must read as `expected` (a control's name): a snapshot of another layout is refused.
    void Expect(std::string_view name, const std::string& expected) {
        if (Text(name, expected) != expected)
            throw StateError(std::string(name) + ": not '" + expected + "'");
    }
    // An enumeration's value, refused beyond `last`.
    template <class E>
    requires std::is_enum_v<E>
    void Enum(std::string_view name, E& field, E last) {
        const auto value = Value(name, static_cast<std::underlying_type_t<E>>(field));
        if (std::cmp_less(value, 0) || std::cmp_greater(value, static_cast<std::underlying_type_t<E>>(last)))
            throw StateError(std::string(name) + ": out of range");
        if (Loading()) field = static_cast<E>(value);
    }

    template <class T>
    requires(std::is_arithmetic_v<T> || std::is_enum_v<T>) void operator()(std::string_view name, T& field) {
        const T value = Value(name, field);
        if (Loading()) field = value;
    }
    void operator()(std::string_view name, std::string& field, std::size_t max = kMaxText) {
        std::string text = Text(name, Loading() ? std::string() : field, max);
        if (Loading()) field = std::move(text);
    }

    template <HasDoState T> void operator()(std::string_view, T& part) { part.DoState(*this); }

    template <class T, std::size_t N> void operator()(std::string_view name, std::array<T, N>& items) {
        for (T& item : items)
            (*this)(name, item);
    }
    template <class T, std::size_t N> void operator()(std::string_view name, T (&items)[N]) {
        for (T& item : items)
            (*this)(name, item);
    }

    // Only loading changes the items; the other modes go through copies of them.
    template <class T> void operator()(std::string_view name, std::vector<T>& items, std::size_t max) {
        std::size_t size = items.size();
        Count(name, size, max);
        if (Loading()) {
            items.resize(size);
            for (T& item : items)
                (*this)(name, item);
            return;
        }
        if (Listing()) size = 1;
        for (std::size_t i = 0; i < size; ++i) {
            T item = i < items.size() ? items[i] : T{};
            (*this)(name, item);
        }
    }

    template <class T> void operator()(std::string_view name, std::optional<T>& value) {
        const bool present = Value(name, value.has_value());
        if (Loading()) {
            if (!present) value.reset();
            if (present && !value) value.emplace();
        }
        if (!present && !Listing()) return;
        if (Loading()) return (*this)(name, *value);
        T item = value ? *value : T{};
        (*this)(name, item);
    }

    // Bounds on the lengths a snapshot may declare: far beyond any real one, small enough to allocate.
    static constexpr std::size_t kMaxText = 1u << 16;
    static constexpr std::size_t kMaxItems = 1u << 12;

private:
    Mode mode_;
    uint32_t format_;
    std::string_view part_;
    bool redrawPictures_ = false;
};

// Saving: the fields' bytes one after another.
class StateWriter final : public StateVisitor {
public:
    explicit StateWriter(uint32_t format) : StateVisitor(Mode::Save, format) {}
    void Bytes(std::string_view, void* data, std::size_t size) override {
        out_.append(static_cast<const char*>(data), size);
    }
    void Count(std::string_view name, std::size_t& count, std::size_t) override {
        uint32_t n = static_cast<uint32_t>(count);
        Bytes(name, &n, sizeof n);
    }
    void Skip(std::string_view, std::size_t) override {} // a writer writes every field
    std::string Take() { return std::move(out_); }

private:
    std::string out_;
};

// Loading, checking or comparing: reads the bytes a writer wrote, bounded by what is there.
class StateReader final : public StateVisitor {
public:
    StateReader(Mode mode, std::string_view in, uint32_t format) : StateVisitor(mode, format), in_(in) {}
    void Bytes(std::string_view name, void* data, std::size_t size) override;
    void Count(std::string_view name, std::size_t& count, std::size_t max) override;
    void Skip(std::string_view name, std::size_t size) override;
    std::size_t Left() const { return in_.size(); }
    bool AtEnd() const override { return in_.empty(); }
    // Comparing: the first field whose value differs, "Part.Field".
    const std::optional<std::string>& Difference() const { return difference_; }

private:
    std::string_view in_;
    std::optional<std::string> difference_;
};

class Clock;
class Timer;

// The timers of one device: enabled, interval, the time to the next tick from the clock's now, and the
// order of those that tick at the same moment, so a device restored on another clock ticks alike.
void VisitTimers(StateVisitor& v, Clock& clock, std::span<Timer* const> timers);

} // namespace vp7
