#include "mainwindow/ListCommands.h"

namespace quell {
namespace {

// Reports a failed step on the status line; true when the step worked.
bool Reported(const platform::Status& result, platform::StatusBar& status) {
    if (!result) {
        platform::SetStatus(status, result.error().message);
    }
    return result.ok();
}

}  // namespace

void AddSiteCommand(Module1& lists, SiteList list, const platform::TextBox& input,
                    platform::StatusBar& status) {
    AddSite(lists, list, input.Text(), status);
}

void AddSite(Module1& lists, SiteList list, const std::string& site, platform::StatusBar& status) {
    if (site.empty() || site == " ") {
        return;
    }
    if (Reported(lists.Add(list, site), status)) {
        (void)Reported(lists.Save(list), status);
    }
}

void DeleteSiteCommand(Module1& lists, SiteList list, platform::StatusBar& status) {
    // A list read again only now has lost its selection with its old items: the user
    // chooses again among the entries the file really holds.
    if (!Reported(lists.EnsureLoaded(list), status)) {
        return;
    }
    platform::ListBox& box = lists.Box(list);
    const int count = box.ListCount();
    for (int i = 0; i < count; ++i) {
        if (!box.Selected(i)) {
            continue;
        }
        if (!Reported(lists.Remove(list, box.List(i)), status)) {
            return;
        }
        box.RemoveItem(i);
        (void)Reported(lists.Save(list), status);
        // Removing rewrote the text without every entry that merely contains the deleted
        // one; the decision must honour exactly what the user still sees listed.
        lists.SetTextFromListBox(list);
        return;
    }
}

}  // namespace quell
