// Numbers as report text: fifteen significant digits, fixed or exponent form.
#include "text/NumberText.h"

#include <cmath>

namespace {

const double LowerBound = 0.999999999999999;
const double UpperBound = 9.99999999999999;
const int MaxDigits = 15;

// The digits must come out the same on every CPU, so each step is rounded to a double.
// The x87 unit keeps 64-bit mantissas unless told otherwise; SSE2 is not on every CPU
// the 32-bit build targets, so set the precision control to 53 bits for the duration.
class DoublePrecision {
public:
#if defined(__i386__)
    DoublePrecision()
    {
        __asm__ __volatile__("fnstcw %0" : "=m"(saved_) : : "memory");
        unsigned short control = (unsigned short)((saved_ & ~0x0300) | 0x0200);
        __asm__ __volatile__("fldcw %0" : : "m"(control) : "memory");
    }
    ~DoublePrecision() { __asm__ __volatile__("fldcw %0" : : "m"(saved_) : "memory"); }

private:
    unsigned short saved_;
#else
    DoublePrecision() {}
#endif
};

// Exponent as "+%03d" or "%03d" would write it.
std::string ExponentText(int exponent)
{
    std::string text = exponent < 0 ? "-" : "+";
    unsigned magnitude = exponent < 0 ? 0u - (unsigned)exponent : (unsigned)exponent;
    std::string digits = FormatNumber(magnitude);
    size_t width = exponent < 0 ? 2 : 3;
    if (digits.size() < width)
        text.append(width - digits.size(), '0');
    return text + digits;
}

} // namespace

std::string DecimalDigits(double value, int count, int& exponent, bool& negative)
{
    if (count > MaxDigits)
        count = MaxDigits;
    exponent = 0;
    negative = false;
    if (value == 0 || value != value)
        return std::string((size_t)count, '0');

    DoublePrecision precision;
    // volatile: every intermediate is stored, and so rounded, as a double
    volatile double v = value;
    if (v < 0) {
        negative = true;
        v = v * -1;
    }
    int e = 1;
    while (v < LowerBound) {
        v = v * 10;
        --e;
    }
    while (v >= UpperBound) {
        v = v / 10;
        ++e;
    }

    char digits[MaxDigits];
    for (int i = 0; i < count; ++i) {
        int digit = (int)v;
        digits[i] = (char)('0' + digit);
        v = (v - digit) * 10;
    }
    if (v >= 5) {
        for (int i = count - 1; i >= 0; --i) {
            if (digits[i] != '9') {
                ++digits[i];
                break;
            }
            digits[i] = '0';
        }
    }
    exponent = e;
    return std::string(digits, (size_t)count);
}

std::string FormatNumber(double value)
{
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";

    int e;
    bool negative;
    std::string digits = DecimalDigits(value, MaxDigits, e, negative);
    std::string text = negative ? "-" : "";

    if (e > MaxDigits || e < -3) {
        text += digits[0];
        text += '.';
        text.append(digits, 1, std::string::npos);
        text += 'e';
        return text + ExponentText(e - 1);
    }

    if (e > 0) {
        text.append(digits, 0, (size_t)e);
        text += '.';
        text.append(digits, (size_t)e, std::string::npos);
    } else {
        text += "0.";
        text.append((size_t)-e, '0');
        text += digits;
    }
    size_t end = text.find_last_not_of('0');
    text.erase(end + 1);
    if (text[text.size() - 1] == '.')
        text.erase(text.size() - 1);
    return text;
}

std::string TwoDigitText(double value)
{
    std::string text = FormatNumber(value);
    return text.size() == 1 ? "0" + text : text;
}
