// GTK: names and labelled-by relations set through ATK on the widget that takes
// the focus (for a list box the tree view inside its scrolled window).
// Elsewhere the toolkit's own window name is used.
#include "platform/wx/accessibility_gtk.h"

#include <wx/listbox.h>
#include <wx/window.h>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

namespace skyvigil {

#ifdef __WXGTK__

namespace {

// The widget that represents `control` to the screen reader: the scrolled
// window of a list box holds the focusable tree view, which is what is named.
GtkWidget* AccessibleWidget(wxWindow* control) {
  GtkWidget* widget = control->GetHandle();
  if (widget == nullptr)
    return nullptr;
  if (GTK_IS_SCROLLED_WINDOW(widget)) {
    GtkWidget* child = gtk_bin_get_child(GTK_BIN(widget));
    if (child != nullptr && GTK_IS_VIEWPORT(child))
      child = gtk_bin_get_child(GTK_BIN(child));
    if (child != nullptr)
      return child;
  }
  return widget;
}

}  // namespace

void SetAccessibleName(wxWindow* control, const std::string& name) {
  // The scrolled window around a list is announced too, so it carries the
  // list's name rather than none.
  for (GtkWidget* widget : {control->GetHandle(), AccessibleWidget(control)}) {
    if (widget == nullptr)
      continue;
    AtkObject* accessible = gtk_widget_get_accessible(widget);
    if (accessible != nullptr)
      atk_object_set_name(accessible, name.c_str());
  }
}

void SetAccessibleLabel(wxWindow* control, wxWindow* label) {
  GtkWidget* target = AccessibleWidget(control);
  GtkWidget* source = AccessibleWidget(label);
  if (target == nullptr || source == nullptr)
    return;
  AtkObject* target_accessible = gtk_widget_get_accessible(target);
  AtkObject* label_accessible = gtk_widget_get_accessible(source);
  if (target_accessible == nullptr || label_accessible == nullptr)
    return;
  atk_object_add_relationship(target_accessible, ATK_RELATION_LABELLED_BY, label_accessible);
  atk_object_add_relationship(label_accessible, ATK_RELATION_LABEL_FOR, target_accessible);
}

void MarkAsDialog(wxWindow* window) {
  GtkWidget* widget = window->GetHandle();
  if (widget == nullptr)
    return;
  AtkObject* accessible = gtk_widget_get_accessible(widget);
  if (accessible != nullptr)
    atk_object_set_role(accessible, ATK_ROLE_DIALOG);
}

void DropListLines(wxListBox* list) {
  GtkTreeView* view = list->m_treeview;
  GtkTreeModel* rows = view != nullptr ? gtk_tree_view_get_model(view) : nullptr;
  if (rows == nullptr)
    return;
  // The view alone lets go of the rows, which tells the screen reader once.
  // It held wx's only reference to them, and wx still empties them when the
  // list goes: the view keeps them until it is finalised itself.
  g_object_set_data_full(G_OBJECT(view), "skyvigil-dropped-rows", g_object_ref(rows),
                         g_object_unref);
  gtk_tree_view_set_model(view, nullptr);
}

void MoveListCursor(wxListBox* list, int index) {
  GtkTreeView* view = list->m_treeview;
  if (view == nullptr || gtk_tree_view_get_model(view) == nullptr)
    return;
  GtkTreePath* cursor = nullptr;
  gtk_tree_view_get_cursor(view, &cursor, nullptr);
  const bool there = cursor != nullptr && gtk_tree_path_get_depth(cursor) == 1 &&
                     gtk_tree_path_get_indices(cursor)[0] == index;
  if (cursor != nullptr)
    gtk_tree_path_free(cursor);
  if (there)
    return;
  GtkTreePath* path = gtk_tree_path_new_from_indices(index, -1);
  gtk_tree_view_set_cursor(view, path, nullptr, FALSE);
  gtk_tree_path_free(path);
}

#else

void DropListLines(wxListBox*) {}
void MoveListCursor(wxListBox*, int) {}

// Native dialogs elsewhere already present themselves as dialogs.
void MarkAsDialog(wxWindow*) {}

void SetAccessibleName(wxWindow* control, const std::string& name) {
  control->SetName(wxString::FromUTF8(name));
}

// Other platforms take a control's label from the static text created before it.
void SetAccessibleLabel(wxWindow*, wxWindow*) {}

#endif

}  // namespace skyvigil
