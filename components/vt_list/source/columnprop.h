#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// An RGB colour as 0xRRGGBB. Column properties are made by the configuration model, which
// knows no toolkit, so they carry plain values; the grid turns them into its toolkit's colours.
using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clSilver = 0xC0C0C0;

// One grid column's look and behaviour, fixed when it is made.
class TColumnProp {
public:
    TColumnProp(TColor brushColor, TColor fontColor, bool editable, bool clickable, int maxLength)
        : brushColor(brushColor),
          fontColor(fontColor),
          editable(editable),
          clickable(clickable),
          maxLength(maxLength) {}

    // Background of the column's cells and of the edit box.
    const TColor brushColor;
    const TColor fontColor;
    // The edit box opens writable on this column.
    const bool editable;
    // A press is reported to the owner, and Enter or double-click report it instead of
    // opening the edit box (mark columns that toggle an "X").
    const bool clickable;
    // The most characters the edit box accepts from the user; 0 or less sets no limit.
    const int maxLength;
};

// Column properties by column number. The list owns what it holds; several grids may share one
// list, so it must outlive every grid it is given to (or be taken from them first).
class TColumnPropList {
public:
    TColumnPropList() = default;
    TColumnPropList(const TColumnPropList&) = delete;
    TColumnPropList& operator=(const TColumnPropList&) = delete;

    // Appends the properties of the next column.
    void add(std::unique_ptr<TColumnProp> prop);
    // Takes the entry at `index` out of the list and hands it to the caller; the later entries
    // move up. Nothing (and no change) for an index outside the list.
    std::unique_ptr<TColumnProp> remove(int index);
    // The properties of column `index`, or nullptr when the list has none for it.
    const TColumnProp* get(int index) const;
    int count() const { return static_cast<int>(props.size()); }

private:
    std::vector<std::unique_ptr<TColumnProp>> props;
};
