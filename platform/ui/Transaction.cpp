#include "platform/ui/Transaction.h"

#include <cmath>
#include <optional>
#include <vector>

namespace ui {

namespace {

struct Frame {
    std::optional<bool> disableActions;
    std::optional<double> animationDuration;
    std::shared_ptr<Transaction::CompletionGroup> completion;
};

// Entry 0 is the implicit transaction of the run loop turn; explicit ones follow it.
std::vector<Frame>& frames() {
    static std::vector<Frame> stack(1);
    return stack;
}

// The setting of the innermost transaction that has made one, or null.
template <class Member> const Member* innermost(Member Frame::*member) {
    const auto& stack = frames();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it)
        if ((*it).*member) return &((*it).*member);
    return nullptr;
}

} // namespace

Transaction::CompletionGroup::~CompletionGroup() {
    if (_block) _block();
}

void Transaction::begin() {
    frames().emplace_back();
}

void Transaction::commit() {
    auto& stack = frames();
    if (stack.size() <= 1) return;
    // Take the frame off the stack before its completion may run, so that a block that
    // opens transactions of its own sees a consistent stack.
    Frame done = std::move(stack.back());
    stack.pop_back();
}

void Transaction::flush() {
    auto& stack = frames();
    Frame done = std::move(stack.front());
    stack.front() = Frame{};
}

int Transaction::depth() {
    return static_cast<int>(frames().size()) - 1;
}

bool Transaction::disableActions() {
    const auto* setting = innermost(&Frame::disableActions);
    return setting != nullptr && **setting;
}

void Transaction::setDisableActions(bool disable) {
    frames().back().disableActions = disable;
}

double Transaction::animationDuration() {
    const auto* setting = innermost(&Frame::animationDuration);
    return setting != nullptr ? **setting : defaultAnimationDuration;
}

void Transaction::setAnimationDuration(double seconds) {
    if (std::isfinite(seconds) && seconds >= 0)
        frames().back().animationDuration = seconds;
    else
        frames().back().animationDuration.reset();
}

void Transaction::setCompletionBlock(std::function<void()> block) {
    auto& frame = frames().back();
    if (frame.completion && frame.completion.use_count() == 1) frame.completion->_block = nullptr;
    frame.completion = block ? std::make_shared<CompletionGroup>(std::move(block)) : nullptr;
}

std::shared_ptr<Transaction::CompletionGroup> Transaction::currentCompletionGroup() {
    const auto* setting = innermost(&Frame::completion);
    return setting != nullptr ? *setting : nullptr;
}

} // namespace ui
