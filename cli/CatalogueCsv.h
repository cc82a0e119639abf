#pragma once
// Comma-separated output of catalogue tables (RFC 4180 quoting) and the model and firmware
// options the catalogue subcommands share.

#include "param/Catalogue.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <string>

namespace rv8::cli {

// A field quoted when it holds a comma, a double quote, CR or LF; inner quotes doubled.
inline QString CsvField(const QString& text)
{
    if (!text.contains(',') && !text.contains('"') && !text.contains('\r') && !text.contains('\n'))
        return text;
    QString quoted = text;
    quoted.replace("\"", "\"\"");
    return "\"" + quoted + "\"";
}

inline QString CsvField(const std::string& text) { return CsvField(QString::fromStdString(text)); }

inline void WriteCsvRow(QTextStream& out, const QStringList& fields)
{
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString& f : fields)
        quoted << CsvField(f);
    out << quoted.join(',') << "\n";
}

// A fixed-point figure in plain notation with the given decimals ("0.50", "999.9", "-1").
inline QString PlainNumber(rv8::param::Fixed value, int decimals)
{
    return QString::fromStdString(rv8::param::FormatFixed(value, 0, decimals, true));
}

// --model: a model code 0..1250 or a short name such as RV8-150. False with a message when the
// text names no model.
inline bool ParseModelOption(const QString& text, std::int32_t& code, QString& error)
{
    bool isNumber = false;
    const int number = text.trimmed().toInt(&isNumber);
    if (isNumber) {
        if (number < 0 || number > rv8::param::kMaxModelCode) {
            error = QString("unknown model code %1: model codes run from 0 to %2").arg(number).arg(rv8::param::kMaxModelCode);
            return false;
        }
        code = number;
        return true;
    }
    const std::int32_t byName = rv8::param::ModelCodeOfName(text.trimmed().toStdString());
    if (byName < 0) {
        error = QString("unknown model '%1': give a model code 0..%2 or a name such as RV8-150")
                    .arg(text)
                    .arg(rv8::param::kMaxModelCode);
        return false;
    }
    code = byName;
    return true;
}

// --firmware: a version number of FLASH_TABLE (0 standard, 401 for 4.01; "4.01" is accepted
// too). Gives the FLASH_TABLE position.
inline bool ParseFirmwareOption(const QString& text, int& flashIndex, QString& error)
{
    const QString t = text.trimmed();
    bool ok = false;
    int number = t.toInt(&ok);
    if (!ok && t.contains('.')) {
        const double d = t.toDouble(&ok);
        if (ok)
            number = static_cast<int>(rv8::param::RoundTiesEven(d * 100.0));
    }
    const int index = ok ? rv8::param::FlashIndexOfNumber(number) : -1;
    if (index < 0) {
        QStringList known;
        for (const auto& f : rv8::param::FLASH_TABLE())
            known << QString::number(f.FlashNum);
        error = QString("unknown firmware '%1': known versions are %2").arg(text, known.join(' '));
        return false;
    }
    flashIndex = index;
    return true;
}

}  // namespace rv8::cli
