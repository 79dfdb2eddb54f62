#pragma once

// Evaluates formula lines on several threads at once, as a host recalculating on several cores: each thread
// has its own evaluator (its own argument memory, result reading and output), and so its own context in the
// stand-in host. The lines are handed out in runs as they are read, and the results are printed in input
// order as soon as every line before them is done, exactly as one thread would print them. The thread that
// reads is one of the N: it evaluates runs too, when the others fall behind and once the input is read.

#include "xlhost/program/AddIn.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace xlhost {

class Evaluator;

class ParallelEvaluator {
public:
    ParallelEvaluator(const AddIn& addIn, bool json, std::ostream& out, int threads);
    // Finishes (without rethrowing) when finish was not called.
    ~ParallelEvaluator();
    ParallelEvaluator(const ParallelEvaluator&) = delete;
    ParallelEvaluator& operator=(const ParallelEvaluator&) = delete;

    // Queues one line. Always true: whether it evaluated is known at finish.
    bool line(std::string_view text, const std::string& source, std::size_t lineNumber);
    // Text written here is printed at this point of the output, between the results around it.
    std::ostream& out() { return pending_; }
    // Reports a line too long to be read, in its place among the results.
    void lineTooLong(const std::string& source, std::size_t lineNumber);
    // Waits for every queued line, prints what is left in input order and stops the threads; false when a
    // line could not be evaluated. Rethrows what a thread could not handle.
    bool finish();

private:
    struct Entry {
        std::size_t begin = 0, length = 0;   // the formula line, or text to print as it is, in Run::texts
        const std::string* source = nullptr; // one of sources_
        std::size_t lineNumber = 0;
        bool literal = false;
    };
    struct Run {
        // One block of text for the whole run: the reading thread allocates per run, not per line.
        std::string texts;
        std::vector<Entry> entries;
        std::string output;
        bool allEvaluated = true;
        bool done = false;
    };
    void takePending();
    void add(std::string_view text, const std::string* source, std::size_t lineNumber, bool literal);
    void newRun();
    void publish();
    void work();
    // The reading thread evaluates the first run no thread has taken, when at least `backlog` wait; false
    // when fewer do.
    bool helpOnce(std::size_t backlog);
    void evaluateRun(Run& run, std::unique_ptr<Evaluator>& evaluator, std::ostringstream& buffer);
    // Prints the finished runs at the front, in order; with wait, until every published run is printed.
    void printFinished(bool wait);

    const AddIn& addIn_;
    bool json_;
    std::ostream& out_;
    std::ostringstream pending_;
    std::deque<std::string> sources_; // the names the lines come from, each kept once
    std::unique_ptr<Run> filling_;
    std::vector<std::unique_ptr<Run>> spare_; // printed runs, to be filled again
    bool allEvaluated_ = true;
    bool finished_ = false;
    std::unique_ptr<Evaluator> helper_; // the reading thread's own, for the runs it evaluates
    std::ostringstream helperBuffer_;

    std::mutex mutex_;                      // guards everything below
    std::condition_variable work_;          // a run was published, or the end
    std::condition_variable finished_run_;  // a run is done
    std::deque<std::unique_ptr<Run>> runs_; // published and not printed yet, in input order
    std::size_t nextToTake_ = 0;            // index into runs_ of the first run no thread has taken
    bool closing_ = false;
    std::exception_ptr failure_;
    std::vector<std::thread> threads_;
};

} // namespace xlhost
