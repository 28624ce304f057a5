// The Db2Rx choices file "ilgfilter.ini": read as the window reads it, and
// every choice used as a filter text over a small converted list.
#include "fuzzkit.h"
#include "schedules/ilgfilter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzkit::asFile(data, size, QString::fromLatin1(ilgfilter::FileName));
    ilgfilter::Choices ch;
    QString error;
    if (!ilgfilter::readOrCreate(fuzzkit::scratchDir(), &ch, &error))
        return 0;
    static const QStringList table = [] {
        QStringList t;
        for (const char *l : {" 5985.00 0600 0800 RADIO ONE          ", " 9410.00 2300 0100 RADIO TWO",
                              "15120.00 1200 1300 RADIO THREE"})
            t << ftl::normalize(QString::fromLatin1(l));
        return t;
    }();
    const QStringList areas{"NA", "CA", "SA", "EU", "AF", "ME", "AS", "AU", "PA"};
    for (int k = 0; k < ilgfilter::Sections; ++k) {
        for (const QString &choice : ch.combo[size_t(k)].mid(0, 50)) {
            ilgfilter::Criteria c;
            c.on[size_t(k == 1 ? 0 : k)] = true;
            c.text[size_t(k)] = choice;
            for (int i : ilgfilter::search(table, c, 1200, areas))
                fuzzkit::check(i >= 0 && i < table.size(), "hits are lines of the table");
        }
    }
    return 0;
}
