#include "xlhost/program/ParallelEvaluator.h"

#include "xlhost/core/StandInHost.h"
#include "xlhost/program/Evaluator.h"

#include <algorithm>

namespace xlhost {
namespace {

// Lines are handed out in runs, so that the threads meet at the queue once per run rather than per line;
// short enough that a sheet of a few hundred lines still spreads over every thread.
constexpr std::size_t kRunLength = 256;
// Runs published and not taken beyond which the reading thread evaluates one itself.
constexpr std::size_t kBacklog = 4;

} // namespace

ParallelEvaluator::ParallelEvaluator(const AddIn& addIn, bool json, std::ostream& out, int threads)
    : addIn_(addIn), json_(json), out_(out) {
    newRun();
    // The host window comes into being on first need; on Windows it belongs to the thread that creates it
    // and goes with that thread, so it must be this one rather than a calculation thread.
    hostWindow();
    // This thread is one of the N: it reads and prints, and evaluates runs whenever the others fall behind
    // and once the input is read. N threads then share N cores, rather than a reading thread taking turns
    // with them.
    const int others = std::max(threads, 1) - 1;
    threads_.reserve(static_cast<std::size_t>(others));
    for (int t = 0; t < others; ++t)
        threads_.emplace_back([this] { work(); });
}

ParallelEvaluator::~ParallelEvaluator() {
    if (finished_)
        return;
    try {
        finish();
    } catch (...) {
        // Already reported by the caller's own finish, or nothing left to report to.
    }
}

void ParallelEvaluator::newRun() {
    // Printed runs are used again: memory taken and given back at every run costs the reading thread page
    // faults, and the calculation threads would wait for it.
    if (!spare_.empty()) {
        filling_ = std::move(spare_.back());
        spare_.pop_back();
        filling_->texts.clear();
        filling_->entries.clear();
        filling_->allEvaluated = true;
        filling_->done = false;
        return;
    }
    filling_ = std::make_unique<Run>();
    filling_->entries.reserve(kRunLength);
    filling_->texts.reserve(kRunLength * 80);
}

void ParallelEvaluator::add(std::string_view text, const std::string* source, std::size_t lineNumber,
                            bool literal) {
    filling_->entries.push_back(Entry{filling_->texts.size(), text.size(), source, lineNumber, literal});
    filling_->texts.append(text);
}

void ParallelEvaluator::takePending() {
    if (pending_.tellp() <= 0)
        return;
    add(pending_.str(), nullptr, 0, true);
    pending_.str({});
}

void ParallelEvaluator::publish() {
    if (filling_->entries.empty())
        return;
    {
        std::lock_guard lock(mutex_);
        runs_.push_back(std::move(filling_));
    }
    work_.notify_one();
    newRun();
}

bool ParallelEvaluator::line(std::string_view text, const std::string& source, std::size_t lineNumber) {
    takePending();
    // Lines come file after file: the name of the current one is the last kept.
    if (sources_.empty() || sources_.back() != source)
        sources_.push_back(source);
    add(text, &sources_.back(), lineNumber, false);
    if (filling_->entries.size() >= kRunLength) {
        publish();
        // Reading runs ahead of the other threads: this one helps until they keep up.
        do
            printFinished(false);
        while (helpOnce(kBacklog));
    }
    return true;
}

bool ParallelEvaluator::helpOnce(std::size_t backlog) {
    Run* run = nullptr;
    {
        std::lock_guard lock(mutex_);
        if (runs_.size() - nextToTake_ < backlog)
            return false;
        run = runs_[nextToTake_++].get();
    }
    evaluateRun(*run, helper_, helperBuffer_);
    {
        std::lock_guard lock(mutex_);
        run->done = true;
    }
    return true;
}

void ParallelEvaluator::evaluateRun(Run& run, std::unique_ptr<Evaluator>& evaluator,
                                    std::ostringstream& buffer) {
    try {
        // Each thread reads the registrations once, on its first run.
        if (!evaluator)
            evaluator = std::make_unique<Evaluator>(addIn_, json_, buffer);
        const std::string_view texts = run.texts;
        for (const Entry& e : run.entries) {
            const std::string_view text = texts.substr(e.begin, e.length);
            if (e.literal)
                buffer << text;
            else
                run.allEvaluated = evaluator->line(text, *e.source, e.lineNumber) && run.allEvaluated;
        }
    } catch (...) {
        std::lock_guard lock(mutex_);
        if (!failure_)
            failure_ = std::current_exception();
    }
    run.output = buffer.str();
    buffer.str({});
}

void ParallelEvaluator::work() {
    std::ostringstream buffer;
    std::unique_ptr<Evaluator> evaluator;
    std::unique_lock lock(mutex_);
    for (;;) {
        work_.wait(lock, [&] { return closing_ || nextToTake_ < runs_.size(); });
        if (nextToTake_ >= runs_.size())
            return; // closing, and nothing left
        Run& run = *runs_[nextToTake_++];
        lock.unlock();
        evaluateRun(run, evaluator, buffer);
        lock.lock();
        run.done = true;
        finished_run_.notify_all();
    }
}

void ParallelEvaluator::printFinished(bool wait) {
    for (;;) {
        std::unique_ptr<Run> run;
        {
            std::unique_lock lock(mutex_);
            if (wait)
                finished_run_.wait(lock, [&] { return runs_.empty() || runs_.front()->done; });
            if (runs_.empty() || !runs_.front()->done)
                return;
            run = std::move(runs_.front());
            runs_.pop_front();
            --nextToTake_;
        }
        out_ << run->output;
        allEvaluated_ = allEvaluated_ && run->allEvaluated;
        spare_.push_back(std::move(run));
    }
}

bool ParallelEvaluator::finish() {
    takePending();
    publish();
    // The input is read: this thread evaluates with the others until no run is left to take.
    while (helpOnce(1))
        printFinished(false);
    printFinished(true);
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    work_.notify_all();
    for (std::thread& t : threads_)
        t.join();
    threads_.clear();
    finished_ = true;
    out_.flush();
    if (failure_)
        std::rethrow_exception(failure_);
    return allEvaluated_;
}

void ParallelEvaluator::lineTooLong(const std::string& source, std::size_t lineNumber) {
    // Rare enough that an evaluator of its own, printing into the pending text, costs nothing that matters.
    Evaluator(addIn_, json_, pending_).lineTooLong(source, lineNumber);
}

} // namespace xlhost
