/* A GTK 3 window with a single-line, a password and a multi-line field, driven over stdin with the
 * same commands as the Qt fixture (focus, set, select, text, quit); offsets are characters.
 * "rows <n>" adds a list of n rows, which "focus rows" then focuses. */
#include <gtk/gtk.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static GtkWidget* single_entry;
static GtkWidget* password_entry;
static GtkWidget* multi_view;
static GtkWidget* window;

static void reply(const char* line) {
    fputs(line, stdout);
    fputc('\n', stdout);
    fflush(stdout);
}

static GtkWidget* rows_view;

/* A focused list of `count` rows (created on first use): a container that manages its descendants. */
static void show_rows(int count) {
    if (rows_view) return;
    GtkListStore* store = gtk_list_store_new(1, G_TYPE_STRING);
    for (int i = 0; i < count; ++i) {
        char label[32];
        snprintf(label, sizeof label, "Row %d", i);
        gtk_list_store_insert_with_values(store, NULL, -1, 0, label, -1);
    }
    rows_view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
    g_object_unref(store);
    gtk_tree_view_append_column(GTK_TREE_VIEW(rows_view), gtk_tree_view_column_new_with_attributes(
                                                              "Rows", gtk_cell_renderer_text_new(), "text", 0, NULL));
    atk_object_set_name(gtk_widget_get_accessible(rows_view), "Rows");
    GtkWidget* scroller = gtk_scrolled_window_new(NULL, NULL);
    gtk_widget_set_size_request(scroller, -1, 80);
    gtk_container_add(GTK_CONTAINER(scroller), rows_view);
    gtk_box_pack_start(GTK_BOX(gtk_bin_get_child(GTK_BIN(window))), scroller, FALSE, FALSE, 0);
    gtk_widget_show_all(scroller);
}

static GtkWidget* field_named(const char* name) {
    if (strcmp(name, "rows") == 0) return rows_view;
    if (strcmp(name, "single") == 0) return single_entry;
    if (strcmp(name, "password") == 0) return password_entry;
    if (strcmp(name, "multi") == 0) return multi_view;
    return NULL;
}

static char* multi_text(void) {
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(multi_view));
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    return gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
}

static void print_texts(void) {
    GString* out = g_string_new("{");
    const char* names[] = {"single", "password", "multi"};
    for (int i = 0; i < 3; ++i) {
        char* text = i == 2 ? multi_text() : g_strdup(gtk_entry_get_text(GTK_ENTRY(field_named(names[i]))));
        g_string_append_printf(out, "%s\"%s\":\"", i ? "," : "", names[i]);
        for (const char* p = text; *p; ++p) {
            if (*p == '"' || *p == '\\')
                g_string_append_printf(out, "\\%c", *p);
            else if (*p == '\n')
                g_string_append(out, "\\n");
            else
                g_string_append_c(out, *p);
        }
        g_string_append_c(out, '"');
        g_free(text);
    }
    g_string_append_c(out, '}');
    reply(out->str);
    g_string_free(out, TRUE);
}

static void handle(char* line) {
    g_strstrip(line);
    char** parts = g_strsplit(line, " ", 3);
    const char* command = parts[0] ? parts[0] : "";
    GtkWidget* target = parts[0] && parts[1] ? field_named(parts[1]) : NULL;
    if (strcmp(command, "quit") == 0) {
        gtk_main_quit();
    } else if (strcmp(command, "rows") == 0 && parts[1]) {
        show_rows(atoi(parts[1]));
        reply("ok");
    } else if (strcmp(command, "text") == 0) {
        print_texts();
    } else if (!target) {
        reply("error");
    } else if (strcmp(command, "focus") == 0) {
        gtk_window_present(GTK_WINDOW(window));
        gtk_widget_grab_focus(target);
        reply("ok");
    } else if (strcmp(command, "set") == 0) {
        GString* text = g_string_new(parts[2] ? parts[2] : "");
        for (gsize i = 0; i + 1 < text->len; ++i) {
            if (text->str[i] == '\\' && text->str[i + 1] == 'n') {
                g_string_erase(text, (gssize)i, 2);
                g_string_insert_c(text, (gssize)i, '\n');
            }
        }
        if (target == multi_view) {
            gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(multi_view)), text->str, -1);
        } else {
            gtk_entry_set_text(GTK_ENTRY(target), text->str);
        }
        g_string_free(text, TRUE);
        reply("ok");
    } else if (strcmp(command, "select") == 0 && parts[2]) {
        int start = 0, length = 0;
        sscanf(parts[2], "%d %d", &start, &length);
        if (target == multi_view) {
            GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(multi_view));
            GtkTextIter a, b;
            gtk_text_buffer_get_iter_at_offset(buffer, &a, start);
            gtk_text_buffer_get_iter_at_offset(buffer, &b, start + length);
            gtk_text_buffer_select_range(buffer, &b, &a);
        } else {
            gtk_editable_select_region(GTK_EDITABLE(target), start, start + length);
        }
        reply("ok");
    } else {
        reply("error");
    }
    g_strfreev(parts);
}

static gboolean on_stdin(GIOChannel* channel, GIOCondition condition, gpointer data) {
    (void)condition;
    (void)data;
    char* line = NULL;
    gsize length = 0;
    GIOStatus status = g_io_channel_read_line(channel, &line, &length, NULL, NULL);
    if (status == G_IO_STATUS_EOF || status == G_IO_STATUS_ERROR) {
        gtk_main_quit();
        return FALSE;
    }
    if (line) {
        handle(line);
        g_free(line);
    }
    return TRUE;
}

static gboolean announce_ready(gpointer data) {
    (void)data;
    reply("ready");
    return G_SOURCE_REMOVE;
}

int main(int argc, char** argv) {
    gtk_init(&argc, &argv);
    window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), argc > 1 ? argv[1] : "GTK text fields");
    gtk_window_set_default_size(GTK_WINDOW(window), 420, 260);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    single_entry = gtk_entry_new();
    atk_object_set_name(gtk_widget_get_accessible(single_entry), "Single line");
    password_entry = gtk_entry_new();
    gtk_entry_set_visibility(GTK_ENTRY(password_entry), FALSE);
    gtk_entry_set_input_purpose(GTK_ENTRY(password_entry), GTK_INPUT_PURPOSE_PASSWORD);
    atk_object_set_name(gtk_widget_get_accessible(password_entry), "Password");
    multi_view = gtk_text_view_new();
    gtk_widget_set_size_request(multi_view, 400, 120);
    atk_object_set_name(gtk_widget_get_accessible(multi_view), "Multi line");
    gtk_box_pack_start(GTK_BOX(box), single_entry, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), password_entry, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), multi_view, TRUE, TRUE, 0);
    gtk_container_add(GTK_CONTAINER(window), box);
    gtk_widget_show_all(window);
    gtk_widget_grab_focus(single_entry);

    GIOChannel* input = g_io_channel_unix_new(fileno(stdin));
    g_io_add_watch(input, G_IO_IN | G_IO_HUP, on_stdin, NULL);
    g_idle_add(announce_ready, NULL);
    gtk_main();
    return 0;
}
