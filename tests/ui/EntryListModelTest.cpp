// The entry list's model, as a tree view hears it: no display is needed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EntryListModel.h"

namespace {

std::vector<EntryItem> Items(const std::vector<std::string>& texts) {
    std::vector<EntryItem> items;
    for (const std::string& text : texts)
        items.push_back({text, {}});
    return items;
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
    std::vector<std::string> before;
    std::vector<std::string> after;
    std::size_t signals;
};

} // namespace

TEST(EntryListModelTest, ItsSignalsTurnTheShownRowsIntoTheNewOnesTouchingOnlyTheChangedRows) {
    const std::vector<ChangeCase> cases = {
        {"appended last", {"a", "b"}, {"a", "b", "c"}, 1},
        {"added first", {"b", "c"}, {"a", "b", "c"}, 1},
        {"deleted between", {"a", "b", "c"}, {"a", "c"}, 1},
        {"replaced", {"a", "b", "c"}, {"a", "bb", "c"}, 2},
        {"several places", {"b", "d", "f", "h"}, {"a", "b", "f", "g", "h", "i"}, 4},
        {"from nothing", {}, {"a", "b"}, 2},
        {"to nothing", {"a", "b"}, {}, 2},
        {"unchanged", {"a", "b"}, {"a", "b"}, 0},
    };
    for (const ChangeCase& change : cases) {
        std::vector<EntryItem> items = Items(change.before);
        GtkTreeModel* model = NewEntryListModel(items);
        HeardRows heard{Rows(model)};
        std::size_t signals = 0;
        g_signal_connect(model, "row-inserted", G_CALLBACK(HeardRows::Inserted), &heard);
        g_signal_connect(model, "row-deleted", G_CALLBACK(HeardRows::Deleted), &heard);
        g_signal_connect_swapped(model, "row-inserted", G_CALLBACK(+[](std::size_t* n) { ++*n; }),
                                 &signals);
        g_signal_connect_swapped(model, "row-deleted", G_CALLBACK(+[](std::size_t* n) { ++*n; }),
                                 &signals);

        const std::vector<EntryItem> shown = items;
        items = Items(change.after);
        ShowEntryListChanges(model, DiffEntryItems(shown, items));

        EXPECT_EQ(heard.rows, change.after) << change.name;
        EXPECT_TRUE(heard.countsAgreed) << change.name;
        EXPECT_EQ(Rows(model), change.after) << change.name;
        EXPECT_EQ(signals, change.signals) << change.name;
        g_object_unref(model);
    }
}

TEST(EntryListModelTest, AnswersAsAFlatListAndRefusesRowsItDoesNotHave) {
    const std::vector<EntryItem> items = Items({"a", "b"});
    GtkTreeModel* model = NewEntryListModel(items);
    GtkTreeModel* other = NewEntryListModel(items);
    EXPECT_TRUE(gtk_tree_model_get_flags(model) & GTK_TREE_MODEL_LIST_ONLY);
    EXPECT_EQ(gtk_tree_model_get_n_columns(model), 1);
    EXPECT_EQ(gtk_tree_model_get_column_type(model, 0), G_TYPE_STRING);

    GtkTreeIter iter;
    ASSERT_TRUE(gtk_tree_model_get_iter_from_string(model, &iter, "1"));
    EXPECT_EQ(TextAt(model, &iter), "b");
    EXPECT_FALSE(gtk_tree_model_iter_has_child(model, &iter));
    EXPECT_EQ(gtk_tree_model_iter_n_children(model, &iter), 0);
    GtkTreeIter parent;
    EXPECT_FALSE(gtk_tree_model_iter_parent(model, &parent, &iter));
    EXPECT_TRUE(gtk_tree_model_iter_previous(model, &iter));
    EXPECT_EQ(TextAt(model, &iter), "a");
    EXPECT_FALSE(gtk_tree_model_iter_previous(model, &iter));

    EXPECT_FALSE(gtk_tree_model_get_iter_from_string(model, &iter, "2"));
    EXPECT_FALSE(gtk_tree_model_get_iter_from_string(model, &iter, "0:0"));
    ASSERT_TRUE(gtk_tree_model_get_iter_from_string(other, &iter, "0"));
    EXPECT_EQ(gtk_tree_model_get_path(model, &iter), nullptr) << "another model's row";
    g_object_unref(other);
    g_object_unref(model);
}
