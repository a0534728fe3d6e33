/* A GTK 4 sign-in window as a user meets one: a name field, then a password entry that holds the
 * focus from the moment the window opens (it is never focused again); with "name" as the second
 * argument the name field holds it instead, and with "alone" as the third the window has no password
 * entry at all. Its title is the first argument. Every change of the
 * password entry prints "password <length>" on standard output, so a test can tell whether anything
 * went into it without reading the secret itself; every change of the name field prints "name <text>". */
#include <gtk/gtk.h>
#include <stdio.h>
#include <string.h>

static gboolean closed = FALSE;

static void on_password_changed(GtkEditable* editable, gpointer unused) {
    (void)unused;
    printf("password %zu\n", strlen(gtk_editable_get_text(editable)));
    fflush(stdout);
}

static void on_name_changed(GtkEditable* editable, gpointer unused) {
    (void)unused;
    printf("name %s\n", gtk_editable_get_text(editable));
    fflush(stdout);
}

static gboolean on_close(GtkWindow* window, gpointer unused) {
    (void)window;
    (void)unused;
    closed = TRUE;
    return FALSE;
}

int main(int argc, char** argv) {
    gtk_init();
    GtkWidget* window = gtk_window_new();
    gtk_window_set_title(GTK_WINDOW(window), argc > 1 ? argv[1] : "GTK 4 sign-in");
    gtk_window_set_default_size(GTK_WINDOW(window), 360, 140);
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    GtkWidget* name = gtk_entry_new();
    GtkWidget* password = gtk_password_entry_new();
    gtk_box_append(GTK_BOX(box), gtk_label_new("Name"));
    gtk_box_append(GTK_BOX(box), name);
    if (argc <= 3 || strcmp(argv[3], "alone") != 0) {
        gtk_box_append(GTK_BOX(box), gtk_label_new("Password"));
        gtk_box_append(GTK_BOX(box), password);
    }
    gtk_window_set_child(GTK_WINDOW(window), box);
    g_signal_connect(password, "changed", G_CALLBACK(on_password_changed), NULL);
    g_signal_connect(name, "changed", G_CALLBACK(on_name_changed), NULL);
    g_signal_connect(window, "close-request", G_CALLBACK(on_close), NULL);
    /* The focus is on its field before the window is ever shown. */
    gtk_window_set_focus(GTK_WINDOW(window), argc > 2 && strcmp(argv[2], "name") == 0 ? name : password);
    gtk_window_present(GTK_WINDOW(window));
    printf("ready\n");
    fflush(stdout);
    while (!closed)
        g_main_context_iteration(NULL, TRUE);
    return 0;
}
