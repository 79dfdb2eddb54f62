#include "xlhost/program/ParallelEvaluator.h"

#include "xlhost/program/Evaluator.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

namespace xlhost {
namespace {

// Lines are handed out in runs, so that threads share one counter rather than contend for it on every line;
// short enough that a sheet of a few hundred lines still spreads over every thread.
constexpr std::size_t kRunLength = 32;

struct Run {
    std::string output;
    bool allEvaluated = true;
};

} // namespace

ParallelEvaluator::ParallelEvaluator(const AddIn& addIn, bool json, std::ostream& out, int threads)
    : addIn_(addIn), json_(json), out_(out), threads_(std::max(threads, 1)) {}

void ParallelEvaluator::takePending() {
    std::string text = pending_.str();
    if (text.empty())
        return;
    entries_.push_back(Entry{std::move(text), {}, 0, true});
    pending_.str({});
}

bool ParallelEvaluator::line(std::string_view text, const std::string& source, std::size_t lineNumber) {
    takePending();
    entries_.push_back(Entry{std::string(text), source, lineNumber, false});
    return true;
}

bool ParallelEvaluator::finish() {
    takePending();
    const std::size_t runCount = (entries_.size() + kRunLength - 1) / kRunLength;
    std::vector<Run> runs(runCount);
    std::atomic<std::size_t> nextRun{0};
    std::exception_ptr failure;
    std::atomic<bool> failed{false};

    auto work = [&] {
        try {
            // Each thread reads the registrations once and writes into its own buffer.
            std::ostringstream buffer;
            Evaluator evaluator(addIn_, json_, buffer);
            for (std::size_t r = nextRun++; r < runCount && !failed; r = nextRun++) {
                Run& run = runs[r];
                const std::size_t end = std::min(entries_.size(), (r + 1) * kRunLength);
                for (std::size_t i = r * kRunLength; i < end; ++i) {
                    const Entry& e = entries_[i];
                    if (e.literal)
                        buffer << e.text;
                    else
                        run.allEvaluated = evaluator.line(e.text, e.source, e.lineNumber) && run.allEvaluated;
                }
                run.output = buffer.str();
                buffer.str({});
            }
        } catch (...) {
            // Only the first failure is kept; the thread that stores it is the one that set the flag.
            if (!failed.exchange(true))
                failure = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    const auto count = static_cast<std::size_t>(threads_);
    threads.reserve(count);
    for (std::size_t t = 0; t < count; ++t)
        threads.emplace_back(work);
    for (std::thread& t : threads)
        t.join();
    entries_.clear();
    if (failure)
        std::rethrow_exception(failure);

    bool allEvaluated = true;
    for (const Run& run : runs) {
        out_ << run.output;
        allEvaluated = allEvaluated && run.allEvaluated;
    }
    out_.flush();
    return allEvaluated;
}

} // namespace xlhost
