/* The Qt fixture's window and commands in GTK 3, offsets in characters; "rows <n>" adds a list of n rows,
 * which "focus rows" then focuses; "hide <field>" hides a field; "prompt" opens a window of its own
 * with a focused password entry, as a program asking for a password does, and answers once it shows;
 * "unprompt" closes it. QUORVELLE_FIXTURE_FOCUS names the field that holds the focus as the window
 * opens (the single-line one otherwise). */
#include <gtk/gtk.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char* names[] = {"single", "password", "multi", "rows"};
static GtkWidget *window, *fields[4], *prompt;
#define MULTI_BUFFER gtk_text_view_get_buffer(GTK_TEXT_VIEW(fields[2]))

static void reply(const char* line) {
    printf("%s\n", line);
    fflush(stdout);
}

/* A focused list of `count` rows (created on first use): a container that manages its descendants. */
static void show_rows(int count) {
    if (fields[3]) return;
    GtkListStore* store = gtk_list_store_new(1, G_TYPE_STRING);
    for (int i = 0; i < count; ++i) {
        char label[32];
        snprintf(label, sizeof label, "Row %d", i);
        gtk_list_store_insert_with_values(store, NULL, -1, 0, label, -1);
    }
    GtkWidget* rows = fields[3] = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
    g_object_unref(store);
    gtk_tree_view_append_column(GTK_TREE_VIEW(rows), gtk_tree_view_column_new_with_attributes(
                                                         "Rows", gtk_cell_renderer_text_new(), "text", 0, NULL));
    atk_object_set_name(gtk_widget_get_accessible(rows), "Rows");
    GtkWidget* scroller = gtk_scrolled_window_new(NULL, NULL);
    gtk_widget_set_size_request(scroller, -1, 80);
    gtk_container_add(GTK_CONTAINER(scroller), rows);
    gtk_box_pack_start(GTK_BOX(gtk_bin_get_child(GTK_BIN(window))), scroller, FALSE, FALSE, 0);
    gtk_widget_show_all(scroller);
}

/* {"single":..,"password":..,"multi":..} on one line; UTF-8 passes unescaped. */
static void print_texts(void) {
    char utf8[129] = {0}, *texts[3];
    for (int i = 0; i < 128; ++i)
        utf8[i] = (char)(128 + i);
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(MULTI_BUFFER, &start, &end);
    char* multi = gtk_text_buffer_get_text(MULTI_BUFFER, &start, &end, FALSE);
    for (int i = 0; i < 3; ++i)
        texts[i] = g_strescape(i == 2 ? multi : gtk_entry_get_text(GTK_ENTRY(fields[i])), utf8);
    char* line =
        g_strdup_printf("{\"single\":\"%s\",\"password\":\"%s\",\"multi\":\"%s\"}", texts[0], texts[1], texts[2]);
    reply(line);
    for (int i = 0; i < 3; ++i)
        g_free(texts[i]);
    g_free(multi);
    g_free(line);
}

/* Answers once the password window is on screen (its focus-in comes only after a keyboard grab ends). */
static gboolean on_prompt_shown(GtkWidget* widget, GdkEvent* event, gpointer data) {
    (void)event;
    g_signal_handlers_disconnect_by_func(widget, G_CALLBACK(on_prompt_shown), data);
    reply("ok");
    return FALSE;
}

static void open_prompt(void) {
    prompt = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(prompt), "Unlock");
    gtk_window_set_transient_for(GTK_WINDOW(prompt), GTK_WINDOW(window));
    gtk_window_set_default_size(GTK_WINDOW(prompt), 300, 80);
    GtkWidget* secret = gtk_entry_new();
    gtk_entry_set_visibility(GTK_ENTRY(secret), FALSE);
    gtk_entry_set_input_purpose(GTK_ENTRY(secret), GTK_INPUT_PURPOSE_PASSWORD);
    atk_object_set_name(gtk_widget_get_accessible(secret), "Passphrase");
    gtk_container_add(GTK_CONTAINER(prompt), secret);
    g_signal_connect(prompt, "map-event", G_CALLBACK(on_prompt_shown), NULL);
    gtk_widget_show_all(prompt);
    gtk_widget_grab_focus(secret);
    gtk_window_present(GTK_WINDOW(prompt));
}

static void handle(char* line) {
    char** parts = g_strsplit(g_strstrip(line), " ", 3);
    const char* command = parts[0] ? parts[0] : "";
    GtkWidget* target = NULL;
    for (int i = 0; parts[0] && parts[1] && i < 4; ++i)
        if (strcmp(parts[1], names[i]) == 0) target = fields[i];
    const char* answer = "ok";
    if (strcmp(command, "quit") == 0) {
        gtk_main_quit();
        answer = NULL;
    } else if (strcmp(command, "rows") == 0 && parts[1]) {
        show_rows(atoi(parts[1]));
    } else if (strcmp(command, "text") == 0) {
        print_texts();
        answer = NULL;
    } else if (strcmp(command, "prompt") == 0 && !prompt) {
        open_prompt();
        answer = NULL;
    } else if (strcmp(command, "unprompt") == 0) {
        if (prompt) gtk_widget_destroy(prompt);
        prompt = NULL;
    } else if (!target) {
        answer = "error";
    } else if (strcmp(command, "focus") == 0) {
        gtk_window_present(GTK_WINDOW(window));
        gtk_widget_grab_focus(target);
    } else if (strcmp(command, "hide") == 0) {
        gtk_widget_hide(target);
    } else if (strcmp(command, "set") == 0) {
        GString* text = g_string_new(parts[2] ? parts[2] : "");
        g_string_replace(text, "\\n", "\n", 0);
        if (target == fields[2])
            gtk_text_buffer_set_text(MULTI_BUFFER, text->str, -1);
        else
            gtk_entry_set_text(GTK_ENTRY(target), text->str);
        g_string_free(text, TRUE);
    } else if (strcmp(command, "select") == 0 && parts[2]) {
        int start = 0, length = 0;
        sscanf(parts[2], "%d %d", &start, &length);
        GtkTextIter a, b;
        if (target == fields[2]) {
            gtk_text_buffer_get_iter_at_offset(MULTI_BUFFER, &a, start);
            gtk_text_buffer_get_iter_at_offset(MULTI_BUFFER, &b, start + length);
            gtk_text_buffer_select_range(MULTI_BUFFER, &b, &a);
        } else {
            gtk_editable_select_region(GTK_EDITABLE(target), start, start + length);
        }
    } else {
        answer = "error";
    }
    if (answer) reply(answer);
    g_strfreev(parts);
}

static gboolean on_stdin(GIOChannel* channel, GIOCondition condition, gpointer data) {
    (void)condition, (void)data;
    char* line = NULL;
    const GIOStatus status = g_io_channel_read_line(channel, &line, NULL, NULL, NULL);
    if (status == G_IO_STATUS_EOF || status == G_IO_STATUS_ERROR) {
        gtk_main_quit();
        return FALSE;
    }
    if (line) handle(line);
    g_free(line);
    return TRUE;
}

int main(int argc, char** argv) {
    gtk_init(&argc, &argv);
    window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), argc > 1 ? argv[1] : "GTK text fields");
    gtk_window_set_default_size(GTK_WINDOW(window), 420, 260);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    fields[0] = gtk_entry_new();
    fields[1] = gtk_entry_new();
    gtk_entry_set_visibility(GTK_ENTRY(fields[1]), FALSE);
    gtk_entry_set_input_purpose(GTK_ENTRY(fields[1]), GTK_INPUT_PURPOSE_PASSWORD);
    fields[2] = gtk_text_view_new();
    gtk_widget_set_size_request(fields[2], 400, 120);
    const char* titles[] = {"Single line", "Password", "Multi line"};
    for (int i = 0; i < 3; ++i) {
        atk_object_set_name(gtk_widget_get_accessible(fields[i]), titles[i]);
        gtk_box_pack_start(GTK_BOX(box), fields[i], i == 2, i == 2, 0);
    }
    gtk_container_add(GTK_CONTAINER(window), box);
    gtk_widget_show_all(window);
    const char* first = g_getenv("QUORVELLE_FIXTURE_FOCUS");
    int focused = 0;
    for (int i = 0; first && i < 3; ++i)
        if (strcmp(first, names[i]) == 0) focused = i;
    gtk_widget_grab_focus(fields[focused]);
    g_io_add_watch(g_io_channel_unix_new(fileno(stdin)), G_IO_IN | G_IO_HUP, on_stdin, NULL);
    while (gtk_events_pending())
        gtk_main_iteration();
    reply("ready");
    gtk_main();
    return 0;
}
