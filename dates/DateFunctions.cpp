#include "dates/DateFunctions.h"

#include "dates/SerialDate.h"
#include "dates/Tenor.h"

#include <utility>

namespace tavrin {

double sched_plusMonths(double date, int16_t months) {
    return toSerialDate(date).plusMonths(months).serial();
}

double sched_endOfMonth(double date) {
    return toSerialDate(date).endOfMonth().serial();
}

double sched_thirdWednesDayOfMonth(double date) {
    return toSerialDate(date).thirdWednesdayOfMonth().serial();
}

int16_t sched_Tenor2Month(std::wstring tenor) {
    return tenorToMonths(std::move(tenor));
}

} // namespace tavrin
