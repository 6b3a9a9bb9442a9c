// A PlotCanvas that keeps every drawing call, so tests can look at what a
// plot drew without a window.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "app/radialview.h"
#include "support/testsupport.h"

namespace vantrel::test {

class RecordingCanvas : public PlotCanvas {
public:
    struct Line {
        double x1, y1, x2, y2;
        std::uint32_t color;
    };
    struct Text {
        double x, y;
        std::string text;
        std::uint32_t color;
    };

    // A surface this many pixels wide whose text is 6 pixels a character:
    // at extent 2 one unit is one pixel.
    double pixels = 536;
    double left = 0, right = 536;
    std::vector<Line> lines;
    std::vector<Text> texts;

    void clear() override { lines.clear(), texts.clear(); }
    void setScale(double l, double r) override { left = l, right = r; }
    void line(double x1, double y1, double x2, double y2, std::uint32_t color) override {
        lines.push_back({x1, y1, x2, y2, color});
    }
    void print(double x, double y, const std::string& text, std::uint32_t color) override {
        texts.push_back({x, y, text, color});
    }
    double textWidth(const std::string& text) override {
        return 6.0 * static_cast<double>(text.size()) * (right - left) / pixels;
    }
    void bar(double x, double, double, double y1, double y2, std::uint32_t color) override { line(x, y1, x, y2, color); }
    void refresh() override {}

    // The lines that match; by colour; the bars (vertical, up from the
    // baseline); the radius markers (hanging from y = 25 to 0).
    std::vector<Line> linesWhere(const std::function<bool(const Line&)>& keep) const {
        std::vector<Line> v;
        std::copy_if(lines.begin(), lines.end(), std::back_inserter(v), keep);
        return v;
    }
    std::vector<Line> linesWith(std::uint32_t c) const {
        return linesWhere([c](const Line& l) { return l.color == c; });
    }
    std::vector<Line> bars(std::uint32_t c) const {
        return linesWhere([c](const Line& l) { return l.color == c && l.x1 == l.x2 && l.y1 == 250 && l.y2 < 250; });
    }
    std::vector<Line> markers() const {
        return linesWhere([](const Line& l) { return l.y1 == 25 && l.y2 == 0; });
    }
};

// A fresh state with a scratch cache whose plot draws on a recording canvas.
class CanvasState : public CacheState {
protected:
    void SetUp() override { CacheState::SetUp(), s.radialPlot.setCanvas(&canvas); }
    RecordingCanvas canvas;
};

}  // namespace vantrel::test
