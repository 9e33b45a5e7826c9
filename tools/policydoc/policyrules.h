// What each row of the settings table becomes in the policy templates:
// its title and remarks, its element and items, its key and its explain
// text. policydoc.cpp writes the files from these answers.
#pragma once

#include "settings.h"

#include <stdint.h>

#include <string>
#include <vector>

// What people see of a policy beyond the table: its title, after the page's
// own label, and where a policy does less than the page.
struct PolicyText {
    SettingPage Page;
    const char* Name;
    const char* Title;
    const char* Remark;
};

struct Item {
    int IsNumber;
    uint32_t Number;
    std::string Text;
    std::string Label;
};

enum ElementKind { ElementNone, ElementDecimal, ElementEnum, ElementText, ElementMultiText };

extern const char ProductName[];

std::string Number(uint32_t value);
std::string Escape(const std::string& text);
std::string Capitalised(const char* text);
const char* SheetId(SettingSheet sheet);
const char* PageId(SettingPage page);
const PolicyText* FindText(const SettingRow* row);
std::string PolicyName(const SettingRow* row);
std::string PolicyKey(const SettingRow* row);
ElementKind ElementOf(const SettingRow* row);
std::vector<Item> EnumItems(const SettingRow* row);
int DefaultItem(const SettingRow* row, const std::vector<Item>& items);
const SettingRow* FindCompanion(const SettingRow* row);
std::string Explain(const SettingRow* row, const PolicyText* text);
