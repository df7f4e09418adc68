#include "platform/data_exchange.h"

#include <QLineEdit>
#include <climits>

#include "platform/dialogs.h"
#include "platform/string_resource.h"
#include "resources/string_table.h"

namespace platform {
namespace {

bool IsBlank(QChar ch) {
    return ch == QLatin1Char(' ') || ch == QLatin1Char('\t');
}

std::optional<int> ParseInteger(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    bool negative = false;
    if (begin < end && (text[begin] == QLatin1Char('+') || text[begin] == QLatin1Char('-'))) {
        negative = text[begin] == QLatin1Char('-');
        ++begin;
    }
    if (begin == end) {
        return std::nullopt;
    }
    long long value = 0;
    for (qsizetype i = begin; i < end; ++i) {
        char16_t ch = text[i].unicode();
        if (ch < u'0' || ch > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (ch - u'0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            return std::nullopt;
        }
    }
    value = negative ? -value : value;
    if (value < INT_MIN || value > INT_MAX) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

}  // namespace

IntegerCheck CheckInteger(const QString& text) {
    std::optional<int> value = ParseInteger(text);
    if (!value) {
        return {std::nullopt, ResourceString(resources::kStrParseInt)};
    }
    return {value, {}};
}

IntegerCheck CheckIntegerInRange(const QString& text, int minValue, int maxValue) {
    IntegerCheck check = CheckInteger(text);
    if (check.value && (*check.value < minValue || *check.value > maxValue)) {
        check.value.reset();
        check.message = QString::fromStdString(
            resources::FormatString(resources::LoadString(resources::kStrParseIntRange),
                                    {std::to_string(minValue), std::to_string(maxValue)}));
    }
    return check;
}

IntegerCheck CheckIntegerAtMost(const QString& text, int maxValue) {
    IntegerCheck check = CheckInteger(text);
    if (check.value && *check.value > maxValue) {
        check.value.reset();
        check.message = QString::fromStdString(resources::FormatString(
            resources::LoadString(resources::kStrParseIntMax), {std::to_string(maxValue)}));
    }
    return check;
}

std::optional<int> FinishExchange(const IntegerCheck& check, QWidget* box, QWidget* parent) {
    if (check.value) {
        return check.value;
    }
    ShowMessageBox(check.message, MessageIcon::kWarning, MessageButtons::kOk,
                   parent != nullptr ? parent : (box != nullptr ? box->window() : nullptr));
    if (box != nullptr) {
        box->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(box)) {
            edit->selectAll();
        }
    }
    return std::nullopt;
}

std::optional<int> ExchangeInteger(QLineEdit* box, QWidget* parent) {
    return FinishExchange(CheckInteger(box->text()), box, parent);
}

std::optional<int> ExchangeInteger(QLineEdit* box, int minValue, int maxValue, QWidget* parent) {
    return FinishExchange(CheckIntegerInRange(box->text(), minValue, maxValue), box, parent);
}

}  // namespace platform
