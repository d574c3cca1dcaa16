// The found-object record, the object list lookup and the rows-to-clean rule.
#include <gtest/gtest.h>

#include "engine/FoundObjectList.h"
#include "engine/RowsToClean.h"
#include "engine/WorkerMessages.h"
#include "support/Sandbox.h"

namespace {

CFoundObject Named(const std::string& path)
{
    CFoundObject o;
    o.m_strPath = path;
    return o;
}

std::vector<CResultRowState> Rows(int count, std::initializer_list<int> checked)
{
    std::vector<CResultRowState> rows(count);
    for (int r = 0; r < count; ++r) rows[r].m_lItemData = 100 + r;  // object index differs from row
    for (int r : checked) rows[r].m_bChecked = true;
    return rows;
}

}  // namespace

TEST(FoundObject, NewRecordIsEmptyAndKindsHaveTheirTexts)
{
    CFoundObject o;
    EXPECT_TRUE(o.m_strPath.empty() && o.m_strName.empty() && o.m_strExtra1.empty() &&
                o.m_strExtra2.empty());
    EXPECT_EQ(0u, o.m_dwSize);
    EXPECT_EQ(0, o.m_nKind);
    EXPECT_EQ(0, o.m_nParam);
    EXPECT_EQ(0u, o.m_dwParam2);
    EXPECT_EQ(nullptr, o.m_pStatus);
    EXPECT_EQ(nullptr, o.m_pfnClean);

    EXPECT_STREQ("未知", ObjectKindText(kObjUnknown));
    EXPECT_STREQ("普通文件", ObjectKindText(kObjFile));
    EXPECT_STREQ("Cookie", ObjectKindText(kObjCookie));
    EXPECT_STREQ("注册表键", ObjectKindText(kObjRegKey));
    EXPECT_STREQ("注册表键值", ObjectKindText(kObjRegValue));
    EXPECT_STREQ("IE 已输入的 URL", ObjectKindText(kObjTypedUrl));
    EXPECT_STREQ("未知", ObjectKindText(6));
    EXPECT_STREQ("未知", ObjectKindText(-1));
}

TEST(FoundObject, MessagesKeepTheirValues)
{
    EXPECT_EQ(0x83E8u, UWM_ADD_OBJECT);
    EXPECT_EQ(0x83E9u, UWM_ADD_FOLDER);
    EXPECT_EQ(0x83EAu, UWM_REMOVE_ROW);
    EXPECT_EQ(0x8014u, UWM_SCAN_COMPLETED);
    EXPECT_EQ(0x8019u, UWM_SCAN_CANCELLED);
    EXPECT_EQ(0x8028u, UWM_CLEAN_ENDING);
    EXPECT_EQ(0x802Du, UWM_CLEAN_FOLLOWUP);
    EXPECT_EQ(0x801Eu, UWM_CLEAN_COMPLETED);
    EXPECT_EQ(0x8023u, UWM_CLEAN_CANCELLED);
}

TEST(FoundObjectList, IndexWalksFromTheHeadAndOutOfRangeFindsNone)
{
    CFoundObjectList objects;
    EXPECT_EQ(nullptr, FindObjectAt(objects, 0));
    for (const char* p : {"C:\\a", "C:\\b", "C:\\c"}) objects.push_back(Named(p));

    ASSERT_NE(nullptr, FindObjectAt(objects, 0));
    EXPECT_EQ("C:\\a", FindObjectAt(objects, 0)->m_strPath);
    EXPECT_EQ("C:\\b", FindObjectAt(objects, 1)->m_strPath);
    EXPECT_EQ("C:\\c", FindObjectAt(objects, 2)->m_strPath);
    EXPECT_EQ(nullptr, FindObjectAt(objects, 3));  // index == count
    EXPECT_EQ(nullptr, FindObjectAt(objects, -1));
    EXPECT_EQ(nullptr, FindObjectAt(objects, 1000));

    // The record found is the stored copy itself, so the cleaning thread works on the list.
    FindObjectAt(objects, 1)->m_nParam = 7;
    EXPECT_EQ(7, std::next(objects.begin())->m_nParam);
}

TEST(RowsToClean, EachCheckedRowSitsWhereEarlierDeletionsLeaveIt)
{
    CRowsToCleanList list;
    list.push_back({99, 99});  // left over from an earlier run
    EXPECT_EQ(3, BuildRowsToClean(Rows(8, {2, 5, 6}), list));
    std::vector<std::pair<unsigned, int>> got;
    for (const CRowToClean& r : list) got.push_back({r.m_uiListCurIndex, r.m_iObjIndex});
    EXPECT_EQ((std::vector<std::pair<unsigned, int>>{{2, 102}, {4, 105}, {4, 106}}), got);

    // Deleting the rows in that order from a model of the list removes exactly the checked rows.
    std::vector<int> model;
    for (int r = 0; r < 8; ++r) model.push_back(100 + r);
    for (const CRowToClean& r : list) {
        ASSERT_LT(r.m_uiListCurIndex, model.size());
        EXPECT_EQ(r.m_iObjIndex, model[r.m_uiListCurIndex]);
        model.erase(model.begin() + r.m_uiListCurIndex);
    }
    EXPECT_EQ((std::vector<int>{100, 101, 103, 104, 107}), model);

    EXPECT_EQ(3, BuildRowsToClean(Rows(3, {0, 1, 2}), list));
    for (const CRowToClean& r : list) EXPECT_EQ(0u, r.m_uiListCurIndex);

    EXPECT_EQ(0, BuildRowsToClean(Rows(5, {}), list));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(0, BuildRowsToClean({}, list));
}
