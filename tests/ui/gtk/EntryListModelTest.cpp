// The entry list's model, as a tree view hears it: no display is needed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EntryListModel.h"
#include "ShownItems.h"

namespace {

// Rows of one day, told apart by their counts, so that their texts sort as
// the counts' digits do.
std::vector<ShownEntry> Items(const std::vector<std::uint32_t>& counts) {
    std::vector<StepRecord> records;
    for (std::uint32_t count : counts) {
        StepRecord record;
        record.steps = count;
        records.push_back(record);
    }
    std::vector<ShownEntry> items = BuildShownEntries(records);
    return items;
}

std::vector<std::string> Texts(const std::vector<ShownEntry>& items) {
    std::vector<std::string> texts;
    for (const ShownEntry& item : items)
        texts.push_back(EntryItemText(item.record));
    return texts;
}

std::string TextAt(GtkTreeModel* model, GtkTreeIter* iter) {
    gchar* text = nullptr;
    gtk_tree_model_get(model, iter, 0, &text, -1);
    std::string copy = text ? text : "";
    g_free(text);
    return copy;
}

// Every row from first to last, as a view walks them.
std::vector<std::string> Rows(GtkTreeModel* model) {
    std::vector<std::string> rows;
    GtkTreeIter iter;
    for (bool more = gtk_tree_model_get_iter_first(model, &iter); more;
         more = gtk_tree_model_iter_next(model, &iter))
        rows.push_back(TextAt(model, &iter));
    return rows;
}

// What a view knows of the rows: what it was first shown, and then only what
// the signals told it, the inserted row's text read when it is told.
struct HeardRows {
    std::vector<std::string> rows;
    bool countsAgreed = true;

    static void Inserted(GtkTreeModel* model, GtkTreePath* path, GtkTreeIter* iter,
                         HeardRows* heard) {
        const auto row = static_cast<std::size_t>(gtk_tree_path_get_indices(path)[0]);
        heard->rows.insert(heard->rows.begin() + static_cast<std::ptrdiff_t>(row),
                           TextAt(model, iter));
        heard->CheckCount(model);
    }
    static void Deleted(GtkTreeModel* model, GtkTreePath* path, HeardRows* heard) {
        const auto row = static_cast<std::size_t>(gtk_tree_path_get_indices(path)[0]);
        heard->rows.erase(heard->rows.begin() + static_cast<std::ptrdiff_t>(row));
        heard->CheckCount(model);
    }
    void CheckCount(GtkTreeModel* model) {
        countsAgreed = countsAgreed && gtk_tree_model_iter_n_children(model, nullptr) ==
                                           static_cast<gint>(rows.size());
    }
};

struct ChangeCase {
    const char* name;
    std::vector<std::uint32_t> before;
    std::vector<std::uint32_t> after;
    std::size_t signals;
};

} // namespace

TEST(EntryListModelTest, ItsSignalsTurnTheShownRowsIntoTheNewOnesTouchingOnlyTheChangedRows) {
    const std::vector<ChangeCase> cases = {
        {"appended last", {1, 2}, {1, 2, 3}, 1},
        {"added first", {2, 3}, {1, 2, 3}, 1},
        {"deleted between", {1, 2, 3}, {1, 3}, 1},
        {"replaced", {1, 2, 3}, {1, 22, 3}, 2},
        {"several places", {2, 4, 6, 8}, {1, 2, 6, 7, 8, 9}, 4},
        {"from nothing", {}, {1, 2}, 2},
        {"to nothing", {1, 2}, {}, 2},
        {"unchanged", {1, 2}, {1, 2}, 0},
    };
    for (const ChangeCase& change : cases) {
        std::vector<ShownEntry> items = Items(change.before);
        GtkTreeModel* model = NewEntryListModel(items);
        HeardRows heard{Rows(model)};
        std::size_t signals = 0;
        g_signal_connect(model, "row-inserted", G_CALLBACK(HeardRows::Inserted), &heard);
        g_signal_connect(model, "row-deleted", G_CALLBACK(HeardRows::Deleted), &heard);
        g_signal_connect_swapped(model, "row-inserted", G_CALLBACK(+[](std::size_t* n) { ++*n; }),
                                 &signals);
        g_signal_connect_swapped(model, "row-deleted", G_CALLBACK(+[](std::size_t* n) { ++*n; }),
                                 &signals);

        const std::vector<ShownEntry> shown = items;
        items = Items(change.after);
        ShowEntryListChanges(model, DiffEntryItems(TextItems(shown), TextItems(items)));

        EXPECT_EQ(heard.rows, Texts(items)) << change.name;
        EXPECT_TRUE(heard.countsAgreed) << change.name;
        EXPECT_EQ(Rows(model), Texts(items)) << change.name;
        EXPECT_EQ(signals, change.signals) << change.name;
        g_object_unref(model);
    }
}

TEST(EntryListModelTest, AnswersAsAFlatListAndRefusesRowsItDoesNotHave) {
    const std::vector<ShownEntry> items = Items({1, 2});
    GtkTreeModel* model = NewEntryListModel(items);
    GtkTreeModel* other = NewEntryListModel(items);
    EXPECT_TRUE(gtk_tree_model_get_flags(model) & GTK_TREE_MODEL_LIST_ONLY);
    EXPECT_EQ(gtk_tree_model_get_n_columns(model), 1);
    EXPECT_EQ(gtk_tree_model_get_column_type(model, 0), G_TYPE_STRING);

    GtkTreeIter iter;
    ASSERT_TRUE(gtk_tree_model_get_iter_from_string(model, &iter, "1"));
    EXPECT_EQ(TextAt(model, &iter), EntryItemText(items[1].record));
    EXPECT_FALSE(gtk_tree_model_iter_has_child(model, &iter));
    EXPECT_EQ(gtk_tree_model_iter_n_children(model, &iter), 0);
    GtkTreeIter parent;
    EXPECT_FALSE(gtk_tree_model_iter_parent(model, &parent, &iter));
    EXPECT_TRUE(gtk_tree_model_iter_previous(model, &iter));
    EXPECT_EQ(TextAt(model, &iter), EntryItemText(items[0].record));
    EXPECT_FALSE(gtk_tree_model_iter_previous(model, &iter));

    EXPECT_FALSE(gtk_tree_model_get_iter_from_string(model, &iter, "2"));
    EXPECT_FALSE(gtk_tree_model_get_iter_from_string(model, &iter, "0:0"));
    ASSERT_TRUE(gtk_tree_model_get_iter_from_string(other, &iter, "0"));
    EXPECT_EQ(gtk_tree_model_get_path(model, &iter), nullptr) << "another model's row";
    g_object_unref(other);
    g_object_unref(model);
}

TEST(EntryListModelTest, RefillingPaysOnceAQuarterOfTheRowsChange) {
    EXPECT_FALSE(RefillIsCheaper({{0, 0, 0, 1}}, 100));
    EXPECT_FALSE(RefillIsCheaper({{0, 10, 0, 15}}, 100));
    EXPECT_TRUE(RefillIsCheaper({{0, 13, 0, 13}}, 100));
    EXPECT_TRUE(RefillIsCheaper({{0, 0, 0, 100}}, 100));
    EXPECT_TRUE(RefillIsCheaper({{0, 3, 0, 0}}, 0));
}
