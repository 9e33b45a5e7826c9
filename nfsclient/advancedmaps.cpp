#include "advancedmaps.h"
#include "settings.h"

// The radio groups follow the order of the table's choices.
static const SettingRow* TransportRow()
{
    return FindNfsSetting("Transport");
}

static const SettingRow* VersionRow()
{
    return FindNfsSetting("NfsVersion");
}

int TransportIndex(const char* text)
{
    int index = FindChoiceByText(TransportRow(), text);
    return index >= 0 ? index : 0;
}

const char* TransportText(int index)
{
    const SettingRow* row = TransportRow();
    return row->Choices[index >= 0 && index < row->ChoiceCount ? index : 0].Text;
}

int VersionIndex(uint32_t value)
{
    int index = FindChoiceByNumber(VersionRow(), value);
    return index >= 0 ? index : 0;
}

uint32_t VersionValue(int index)
{
    const SettingRow* row = VersionRow();
    return row->Choices[index >= 0 && index < row->ChoiceCount ? index : 0].Number;
}
