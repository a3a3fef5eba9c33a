#include "cli/CliOperator.h"

Operator::Answer CliOperator::message(const QString&, const QString& text, Icon, Buttons buttons)
{
    err_ << text << Qt::endl;
    if (buttons == Buttons::YesNo) return overwrite_ ? Answer::Yes : Answer::No;
    return Answer::Ok;
}
