#pragma once

#include <functional>
#include <memory>
#include <vector>

namespace ui {

class TransactionGroup;

// Groups the animations added between begin() and commit() (main thread; transactions nest).
//
// The completion block runs once every animation added to any layer while the transaction
// was open (nested ones included) has ended, finished or removed, and the transaction has
// been committed. It always runs from the run loop, never inside commit() or addAnimation(),
// and also when no animation was added (on the next turn).
//
// animationDuration() is the duration given to animations added inside the transaction with
// a duration of 0 (0.25 s by default). Layers have no implicit actions here: changing a model
// value never animates by itself, so disableActions is recorded for callers that set it and
// changes nothing else.
class Transaction {
public:
    static void begin();
    static void commit();   // without a matching begin(), does nothing

    static double animationDuration();
    static void setAnimationDuration(double seconds);
    static bool disableActions();
    static void setDisableActions(bool disable);
    static void setCompletionBlock(std::function<void()> completion);

    static bool isOpen();   // inside at least one begin()

    // For Layer: one token per open transaction; an animation holds them until it ends, and
    // a transaction's completion is posted once its last token is gone after commit.
    static std::vector<std::shared_ptr<TransactionGroup>> currentTokens();
};

} // namespace ui
