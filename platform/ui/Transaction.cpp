#include "platform/ui/Transaction.h"

#include "platform/core/RunLoop.h"

#include <optional>

namespace ui {

// Lives while its transaction is open and while any animation added inside it runs: the
// transaction frame and every such animation hold a reference. When the last one lets go,
// the completion is posted, so it never runs inside commit() or a layer call.
class TransactionGroup {
public:
    ~TransactionGroup()
    {
        if (m_completion)
            core::RunLoop::main().post(std::move(m_completion));
    }
    std::function<void()> m_completion;
};

namespace {

struct Frame {
    std::optional<double> duration;
    std::optional<bool> disableActions;
    std::shared_ptr<TransactionGroup> group = std::make_shared<TransactionGroup>();
};

std::vector<Frame>& stack()
{
    static std::vector<Frame> frames;
    return frames;
}

} // namespace

void Transaction::begin()
{
    stack().emplace_back();
}

void Transaction::commit()
{
    if (stack().empty())
        return;
    stack().pop_back();
}

double Transaction::animationDuration()
{
    for (auto it = stack().rbegin(); it != stack().rend(); ++it) {
        if (it->duration)
            return *it->duration;
    }
    return 0.25;
}

void Transaction::setAnimationDuration(double seconds)
{
    if (!stack().empty())
        stack().back().duration = seconds;
}

bool Transaction::disableActions()
{
    for (auto it = stack().rbegin(); it != stack().rend(); ++it) {
        if (it->disableActions)
            return *it->disableActions;
    }
    return false;
}

void Transaction::setDisableActions(bool disable)
{
    if (!stack().empty())
        stack().back().disableActions = disable;
}

void Transaction::setCompletionBlock(std::function<void()> completion)
{
    if (!stack().empty())
        stack().back().group->m_completion = std::move(completion);
}

bool Transaction::isOpen()
{
    return !stack().empty();
}

std::vector<std::shared_ptr<TransactionGroup>> Transaction::currentTokens()
{
    std::vector<std::shared_ptr<TransactionGroup>> tokens;
    tokens.reserve(stack().size());
    for (const Frame& f : stack())
        tokens.push_back(f.group);
    return tokens;
}

} // namespace ui
