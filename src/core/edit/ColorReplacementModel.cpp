#include "core/edit/ColorReplacementModel.h"

#include <algorithm>
#include <utility>

#include "core/common/Translation.h"

namespace kanvo {

namespace {

class BusyFlag {
public:
    explicit BusyFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyFlag() { flag_ = false; }
    BusyFlag(const BusyFlag&) = delete;
    BusyFlag& operator=(const BusyFlag&) = delete;

private:
    bool& flag_;
};

} // namespace

ColorReplacementModel::ColorReplacementModel(const StitchMatrix& stitches, const EditColorModel& colors,
    const ThreadTable& table)
    : table_(table),
      width_(std::clamp(colors.width, 0, StitchMatrix::kSize)),
      height_(std::clamp(colors.height, 0, StitchMatrix::kSize)),
      threads_(static_cast<std::size_t>(StitchMatrix::kSize) * StitchMatrix::kSize, 0),
      list_(colors.colorList)
{
    const bool indexed = colors.colorIndex.size() >= threads_.size();
    for (int x = 0; x < width_; ++x)
        for (int y = 0; y < height_; ++y) {
            edit_.set(x, y, stitches.at(x, y));
            threads_[cell(x, y)] = indexed ? colors.threadAt(x, y) : 0;
        }
}

int ColorReplacementModel::entry(int position) const
{
    if (position < 1 || position > colorTotal())
        return 0;
    return list_[static_cast<std::size_t>(position - 1)];
}

bool ColorReplacementModel::listed(int thread) const
{
    return std::find(list_.begin(), list_.end(), thread) != list_.end();
}

bool ColorReplacementModel::pickSource(int thread)
{
    if (!listed(thread))
        return false;
    source_ = thread;
    return true;
}

bool ColorReplacementModel::pickTarget(int thread)
{
    if (!listed(thread))
        return false;
    target_ = thread;
    return true;
}

bool ColorReplacementModel::replace()
{
    if (source_ < 0 || target_ < 0 || source_ == target_)
        return false;
    return replaceColor(source_, target_);
}

bool ColorReplacementModel::replaceColor(int s, int t)
{
    if (busy_ || replaceCount() >= kMaxReplacements || s == t || !ThreadTable::isThread(t))
        return false;
    const auto at = std::find(list_.begin(), list_.end(), s);
    if (at == list_.end())
        return false;
    const BusyFlag busy(busy_);
    // The list never runs empty: a chart whose only thread is replaced still has one, t.
    if (list_.size() == 1)
        *at = t;
    else
        list_.erase(at);
    record_.push_back(Replacement{s, t});
    changes_.push_back(recolor(s, t));
    return true;
}

bool ColorReplacementModel::undoReplace()
{
    if (busy_ || record_.empty())
        return false;
    const BusyFlag busy(busy_);
    const Replacement r = record_.back();
    record_.pop_back();
    const std::vector<ChangedStitch> changed = std::move(changes_.back());
    changes_.pop_back();
    restore(changed, r.from);
    if (!listed(r.from))
        list_.push_back(r.from);
    return true;
}

std::string ColorReplacementModel::statusText() const
{
    return withArgs(translate("ColorReplacementModel", "颜色总数：%1  替换%2 处"),
        {std::to_string(colorTotal()), std::to_string(replaceCount())});
}

int ColorReplacementModel::threadAt(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    return threads_[cell(x, y)];
}

bool ColorReplacementModel::writeBack(StitchMatrix& target)
{
    if (busy_)
        return false;
    const BusyFlag busy(busy_);
    for (int x = 0; x < width_; ++x) {
        for (int y = 0; y < height_; ++y)
            target.set(x, y, edit_.at(x, y));
        pump();
    }
    return true;
}

std::vector<ColorReplacementModel::ChangedStitch> ColorReplacementModel::recolor(int from, int to)
{
    const ColorValue color = table_.colorOf(to);
    std::vector<ChangedStitch> changed;
    for (int x = 0; x < width_; ++x) {
        for (int y = 0; y < height_; ++y) {
            int& thread = threads_[cell(x, y)];
            if (thread == from) {
                changed.push_back(ChangedStitch{cell(x, y), edit_.at(x, y)});
                thread = to;
                edit_.set(x, y, color);
            }
        }
        pump();
    }
    return changed;
}

void ColorReplacementModel::restore(const std::vector<ChangedStitch>& changed, int from)
{
    int column = -1;
    for (const ChangedStitch& stitch : changed) {
        const int x = static_cast<int>(stitch.cell / StitchMatrix::kSize);
        const int y = static_cast<int>(stitch.cell % StitchMatrix::kSize);
        if (x != column && column >= 0)
            pump();
        column = x;
        threads_[stitch.cell] = from;
        edit_.set(x, y, stitch.before);
    }
    pump();
}

void ColorReplacementModel::pump() const
{
    if (pump_)
        pump_();
}

} // namespace kanvo
