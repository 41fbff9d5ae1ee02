#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ptk::sim {

// The register's printer output: every receipt and report line it "prints", as UTF-8 text, in
// order. An observer (ptk-sim's log) hears each line as it is printed.
class PaperTape {
public:
    using Observer = std::function<void(const std::string& line)>;

    void print(std::string line) {
        lines_.push_back(std::move(line));
        if (observer_) observer_(lines_.back());
    }
    const std::vector<std::string>& lines() const { return lines_; }
    void clear() { lines_.clear(); }
    void setObserver(Observer observer) { observer_ = std::move(observer); }

private:
    std::vector<std::string> lines_;
    Observer observer_;
};

}  // namespace ptk::sim
