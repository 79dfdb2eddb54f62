#pragma once

// Evaluates formula lines on several threads at once, as a host recalculating on several cores: each thread
// has its own evaluator (its own argument memory, result reading and output), and so its own context in the
// stand-in host. The results are printed in input order, exactly as one thread would print them.

#include "xlhost/program/AddIn.h"

#include <cstddef>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace xlhost {

class ParallelEvaluator {
public:
    ParallelEvaluator(const AddIn& addIn, bool json, std::ostream& out, int threads);

    // Queues one line; it is evaluated by finish. Always true: whether it evaluated is known only then.
    bool line(std::string_view text, const std::string& source, std::size_t lineNumber);
    // Text written here is printed at this point of the output, between the results around it.
    std::ostream& out() { return pending_; }
    // Evaluates every queued line, prints everything in input order and empties the queue; false when a
    // line could not be evaluated.
    bool finish();

private:
    struct Entry {
        std::string text; // the formula line, or text to print as it is
        std::string source;
        std::size_t lineNumber = 0;
        bool literal = false;
    };
    void takePending();

    const AddIn& addIn_;
    bool json_;
    std::ostream& out_;
    int threads_;
    std::vector<Entry> entries_;
    std::ostringstream pending_;
};

} // namespace xlhost
