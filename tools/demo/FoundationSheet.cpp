// The foundation sheet: what the platform layer's dates, text and drawing produce, on one
// page. Month headings and weekday names in four locales (with their own first weekday and
// writing direction), filled and stroked shapes, aligned and truncated text, and a gradient.

#include "Demo.h"

#include "platform/foundation/Calendar.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/Text.h"

#include <unicode/uloc.h>

namespace {

using namespace gfx;

constexpr double kWidth = 600;
constexpr double kHeight = 860;
constexpr double kMargin = 24;

TextAttributes attributes(FontRef font, Color color, TextAlignment alignment = TextAlignment::natural,
                          LineBreakMode mode = LineBreakMode::truncatingTail) {
    return {std::move(font), color, ParagraphStyle{alignment, mode}};
}

void sectionTitle(const char* title, double y) {
    drawAtPoint(title, {kMargin, y}, attributes(Font::boldSystemFont(13), systemColors::secondaryLabel()));
}

// One locale: its identifier, "December 2026" as "MMMM yyyy", and the short weekday names
// from the locale's first weekday, laid right to left for right-to-left languages.
double drawLocale(GraphicsContext& c, const char* identifier, double y) {
    const fnd::Locale locale(identifier);
    fnd::CalendarRef calendar = fnd::Calendar::make();
    calendar->setLocale(locale);
    fnd::DateComponents comps;
    comps.year = 2026;
    comps.month = 12;
    comps.day = 15;
    comps.hour = 12;
    const std::optional<fnd::Date> date = calendar->dateFromComponents(comps);

    fnd::DateFormatterRef formatter = fnd::DateFormatter::make();
    formatter->setLocale(locale);
    formatter->setCalendar(calendar);
    formatter->setDateFormat("MMMM yyyy");
    const std::string heading = date ? formatter->stringFromDate(*date) : std::string("?");

    const bool rtl = uloc_isRightToLeft(identifier);

    const Rect row{kMargin, y, kWidth - 2 * kMargin, 84};
    c.setFillColor(systemColors::secondarySystemBackground());
    c.beginPath();
    c.addRoundedRect(row, 10);
    c.fillPath();

    drawInRect(identifier, {row.minX() + 12, y + 8, row.width() - 24, 16},
               attributes(Font::systemFont(11), systemColors::secondaryLabel(),
                          rtl ? TextAlignment::left : TextAlignment::right));
    drawInRect(heading, {row.minX() + 12, y + 8, row.width() - 24, 30},
               attributes(Font::named("HelveticaNeue-Medium", 22), systemColors::label()));

    const std::vector<std::string> names = formatter->shortWeekdaySymbols();
    const long first = calendar->firstWeekday();
    const double cell = (row.width() - 24) / 7;
    for (long i = 0; i < 7 && names.size() == 7; ++i) {
        const std::size_t index = static_cast<std::size_t>((first - 1 + i) % 7);
        const long column = rtl ? 6 - i : i;
        const Rect box{row.minX() + 12 + column * cell, y + 48, cell - 4, 26};
        c.setFillColor(systemColors::systemBackground());
        c.fillRect(box);
        const FontRef font = Font::systemFont(13, FontWeight::medium);
        drawInRect(names[index],
                   {box.minX(), box.minY() + (box.height() - font->lineHeight()) / 2, box.width(),
                    font->lineHeight()},
                   attributes(font, i == 0 ? systemColors::systemBlue() : systemColors::label(),
                              TextAlignment::center));
    }
    return row.maxY() + 10;
}

void drawShapes(GraphicsContext& c, double y) {
    c.setLineWidth(3);
    c.setFillColor(systemColors::systemBlue());
    c.fillRect({kMargin, y, 100, 70});
    c.setStrokeColor(systemColors::systemRed());
    c.strokeRect({kMargin + 120, y + 1.5, 100, 67});
    c.setFillColor(systemColors::systemGreen());
    c.fillEllipseInRect({kMargin + 240, y, 100, 70});
    c.setStrokeColor(systemColors::systemOrange());
    c.strokeEllipseInRect({kMargin + 360, y + 1.5, 70, 67});
    // A path with a curve, filled and stroked.
    c.setFillColor(systemColors::systemPurple().withAlpha(0.4));
    c.setStrokeColor(systemColors::systemPurple());
    c.beginPath();
    c.moveToPoint({kMargin + 450, y + 70});
    c.addCurveToPoint({kMargin + 450, y - 20}, {kMargin + 552, y - 20}, {kMargin + 552, y + 70});
    c.closePath();
    c.fillAndStrokePath();
}

void drawAlignedText(GraphicsContext& c, double y) {
    const char* text = "The quick brown fox jumps over the lazy dog near the river bank";
    const TextAlignment alignments[] = {TextAlignment::left, TextAlignment::center, TextAlignment::right};
    const char* names[] = {"left", "center", "right"};
    for (int i = 0; i < 3; ++i) {
        const double rowY = y + i * 56;
        const Rect wide{kMargin, rowY, kWidth - 2 * kMargin, 22};
        const Rect narrow{kMargin + 120, rowY + 26, 220, 22};
        c.setStrokeColor(systemColors::separator());
        c.setLineWidth(1);
        c.strokeRect(wide.insetBy(-0.5, -0.5));
        c.strokeRect(narrow.insetBy(-0.5, -0.5));
        drawInRect(names[i], {kMargin, rowY + 28, 110, 20},
                   attributes(Font::systemFont(12), systemColors::secondaryLabel(), TextAlignment::left));
        drawInRect("December", wide, attributes(Font::systemFont(17), systemColors::label(), alignments[i]));
        drawInRect(text, narrow, attributes(Font::systemFont(17), systemColors::label(), alignments[i]));
    }
}

void drawGradient(GraphicsContext& c, double y) {
    const Rect bar{kMargin, y, kWidth - 2 * kMargin, 48};
    c.saveGState();
    c.beginPath();
    c.addRoundedRect(bar, 12);
    c.clip();
    c.drawLinearGradient(
        {systemColors::systemBlue(), systemColors::systemPurple(), systemColors::systemRed()}, {0, 0.5, 1},
        {bar.minX(), y}, {bar.maxX(), y});
    c.restoreGState();
}

std::vector<std::string> renderFoundationSheet(const std::string& outDir) {
    beginImageContext({kWidth, kHeight}, true, 2);
    GraphicsContext* c = currentContext();
    if (!c) {
        endImageContext();
        return {};
    }
    c->setFillColor(systemColors::systemBackground());
    c->fillRect({0, 0, kWidth, kHeight});

    drawAtPoint("Foundation sheet", {kMargin, 18},
                attributes(Font::boldSystemFont(24), systemColors::label()));
    double y = 60;
    sectionTitle("\"MMMM yyyy\" and short weekday names from the first weekday", y);
    y += 22;
    for (const char* locale : {"en_US", "de_DE", "ja_JP", "ar_EG"})
        y = drawLocale(*c, locale, y);

    sectionTitle("Filled and stroked rectangles, ellipses and a path", y + 6);
    drawShapes(*c, y + 34);
    y += 124;
    sectionTitle("Left, centre and right alignment with tail truncation", y);
    drawAlignedText(*c, y + 24);
    y += 196;
    sectionTitle("Linear gradient", y);
    drawGradient(*c, y + 24);

    const ImageRef image = imageFromCurrentImageContext();
    endImageContext();
    const std::string path = outDir + "/foundation-sheet.png";
    if (!image || !image->writePNG(path)) return {};
    return {path};
}

} // namespace

OLM_DEMO_PAGE("10-foundation", renderFoundationSheet);
