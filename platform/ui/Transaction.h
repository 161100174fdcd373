#pragma once

// Transactions group layer changes. They nest: `begin` opens one, `commit` closes it, and a
// setting made inside a transaction (actions disabled, the animation duration, a completion
// block) holds for it and for the transactions nested in it, until it is committed. Outside
// any explicit transaction, changes belong to the implicit transaction of the current run
// loop turn; the host ends it with `flush()`.
//
//     ui::Transaction::begin();
//     ui::Transaction::setDisableActions(true);   // these changes take effect at once
//     layer->setOpacity(0);
//     ui::Transaction::commit();
//
// Layers consult `disableActions()` and `animationDuration()` when one of their animatable
// properties changes (see Layer::didChangeValue). Main thread only.

#include <functional>
#include <memory>

namespace ui {

class Transaction {
public:
    // The duration implicit animations take when no transaction sets one.
    static constexpr double defaultAnimationDuration = 0.25;

    static void begin();
    // Closes the innermost explicit transaction; a commit without a begin is ignored.
    static void commit();
    // Ends the implicit transaction (its settings and completion), as the run loop does at
    // the end of a turn. Explicit transactions still open are left alone.
    static void flush();

    // The number of explicit transactions open.
    static int depth();

    // Whether property changes skip their actions (no implicit animation).
    static bool disableActions();
    static void setDisableActions(bool disable);

    // The duration of the implicit animations made inside the transaction; a negative or
    // non-finite value resets it to the enclosing transaction's.
    static double animationDuration();
    static void setAnimationDuration(double seconds);

    // The completion block of the current transaction: it runs once the transaction has been
    // committed and every animation added within it has ended (at the commit when there
    // were none). Setting a new block replaces the previous one of the same transaction (a
    // replaced block that no animation waits for is dropped unrun).
    static void setCompletionBlock(std::function<void()> block);

    // What an animation added inside a transaction holds on to so that the transaction's
    // completion block waits for it: the block runs when the transaction is committed and
    // the last holder lets go. Null when the current transaction has no completion block.
    class CompletionGroup;
    static std::shared_ptr<CompletionGroup> currentCompletionGroup();
};

class Transaction::CompletionGroup {
public:
    explicit CompletionGroup(std::function<void()> block) : _block(std::move(block)) {}
    ~CompletionGroup();
    CompletionGroup(const CompletionGroup&) = delete;
    CompletionGroup& operator=(const CompletionGroup&) = delete;

private:
    friend class Transaction;
    std::function<void()> _block;
};

} // namespace ui
