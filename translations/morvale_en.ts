<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ru_RU">
    <context>
        <name>Choosers</name>
        <message>
            <source>Выбор папки</source>
            <translation>Choose a folder</translation>
        </message>
    </context>
    <context>
        <name>Engine</name>
        <message>
            <source>Внимание!  Будет создан Alias BDE-5 = &lt;mvl_STD_Hetero_999&gt;.  Продолжим ?</source>
            <translation>Attention!  The alias &lt;mvl_STD_Hetero_999&gt; will be created.  Continue?</translation>
        </message>
        <message>
            <source>Ошибка создания Alias BDE5 = mvl_STD_Hetero_999</source>
            <translation>Cannot create the alias mvl_STD_Hetero_999</translation>
        </message>
        <message>
            <source>Не найден(1) Alias BDE5 = mvl_STD_Hetero_999</source>
            <translation>Not found (1): the alias mvl_STD_Hetero_999</translation>
        </message>
        <message>
            <source>Alias BDE5 = &lt;mvl_STD_Hetero_999&gt;  создан. Закройте и вновь откройте программу!</source>
            <translation>The alias &lt;mvl_STD_Hetero_999&gt; has been created. Close the program and open it again!</translation>
        </message>
        <message>
            <source>Не найден(2) Alias BDE5 = mvl_STD_Hetero_999</source>
            <translation>Not found (2): the alias mvl_STD_Hetero_999</translation>
        </message>
        <message>
            <source>Export таблицы через OLE. Это может быть долго. Продолжим ?</source>
            <translation>Export the table through OLE. This may take long. Continue?</translation>
        </message>
        <message>
            <source>Книга записана в файл %s, но открыть её нечем: не найдена программа электронных таблиц (например, LibreOffice Calc).
%s</source>
            <translation>The workbook was written to %s, but nothing can open it: no spreadsheet program was found (LibreOffice Calc, for one).
%s</translation>
        </message>
        <message>
            <source>Err. Строка N %s %s</source>
            <translation>Err. Line N %s %s</translation>
        </message>
        <message>
            <source>MEMO-поле указано некорректно ...</source>
            <translation>The MEMO field is not given correctly ...</translation>
        </message>
        <message>
            <source>Сначала откройте набор данных ...</source>
            <translation>Open a dataset first ...</translation>
        </message>
        <message>
            <source>Источник данных (%s) не определен</source>
            <translation>The data source (%s) is not defined</translation>
        </message>
        <message>
            <source>Источник данных (%s) закрыт</source>
            <translation>The data source (%s) is closed</translation>
        </message>
        <message>
            <source>Источник данных (%s) пуст</source>
            <translation>The data source (%s) is empty</translation>
        </message>
        <message>
            <source>Свойство AllowedExports должно быть определено</source>
            <translation>The property AllowedExports must be defined</translation>
        </message>
        <message>
            <source>База данных '%s' не подключена</source>
            <translation>The database '%s' is not connected</translation>
        </message>
        <message>
            <source>в папке "%s" нет файла таблицы "%s"</source>
            <translation>the folder "%s" has no table file "%s"</translation>
        </message>
        <message>
            <source>база данных '%s' не подключена</source>
            <translation>the database '%s' is not connected</translation>
        </message>
        <message>
            <source> (подключенных баз данных нет)</source>
            <translation> (no databases are connected)</translation>
        </message>
        <message>
            <source> (подключены: %s)</source>
            <translation> (connected: %s)</translation>
        </message>
        <message>
            <source>Нет такой таблицы: %s</source>
            <translation>No such table: %s</translation>
        </message>
        <message>
            <source>базу данных '%s' нельзя прочитать в этом запросе: %s</source>
            <translation>the database '%s' cannot be read in this query: %s</translation>
        </message>
        <message>
            <source>в базе данных '%s' нет таблицы "%s"</source>
            <translation>the database '%s' has no table "%s"</translation>
        </message>
        <message>
            <source>Нет такой таблицы: "%s"</source>
            <translation>No such table: "%s"</translation>
        </message>
    </context>
    <context>
        <name>ExportDialog</name>
        <message>
            <source>По центру</source>
            <translation>Center</translation>
        </message>
        <message>
            <source>Вправо</source>
            <translation>Right</translation>
        </message>
        <message>
            <source>Влево</source>
            <translation>Left</translation>
        </message>
        <message>
            <source>Диалог экспорта</source>
            <translation>Export dialog</translation>
        </message>
        <message>
            <source>Диалог экспорта -- Экспортировать в [%s]</source>
            <translation>Export dialog -- Export to [%s]</translation>
        </message>
        <message>
            <source>Заголовок &amp;&amp; Ширина</source>
            <translation>Caption &amp;&amp; Width</translation>
        </message>
        <message>
            <source>Заголовок &amp;&amp; Выравнивание</source>
            <translation>Caption &amp;&amp; Alignment</translation>
        </message>
        <message>
            <source>Заголовок &amp;&amp; Ширина &amp;&amp; Выравнивание</source>
            <translation>Caption &amp;&amp; Width &amp;&amp; Alignment</translation>
        </message>
        <message>
            <source>Заголовок</source>
            <translation>Caption</translation>
        </message>
        <message>
            <source>Внимание!</source>
            <translation>Attention!</translation>
        </message>
        <message>
            <source>Все настройки форматирования колонок будут сброшены<byte value="xd" />
Хотите продолжить?</source>
            <translation>Every formatting setting of the columns will be reset<byte value="xd" />
Do you want to continue?</translation>
        </message>
        <message>
            <source>Гиперссылки</source>
            <translation>Hyperlinks</translation>
        </message>
        <message>
            <source>Примечания</source>
            <translation>Notes</translation>
        </message>
        <message>
            <source>Диаграммы</source>
            <translation>Charts</translation>
        </message>
        <message>
            <source>Ячейки</source>
            <translation>Cells</translation>
        </message>
        <message>
            <source>Объединенные ячейки</source>
            <translation>Merged cells</translation>
        </message>
        <message>
            <source>Ряды</source>
            <translation>Series</translation>
        </message>
        <message>
            <source>Добавить гиперссылку</source>
            <translation>Add hyperlink</translation>
        </message>
        <message>
            <source>Удалить гиперссылку</source>
            <translation>Delete hyperlink</translation>
        </message>
        <message>
            <source>Добавить примечание</source>
            <translation>Add note</translation>
        </message>
        <message>
            <source>Удалить примечание</source>
            <translation>Delete note</translation>
        </message>
        <message>
            <source>Добавить диаграмму</source>
            <translation>Add chart</translation>
        </message>
        <message>
            <source>Удалить диаграмму</source>
            <translation>Delete chart</translation>
        </message>
        <message>
            <source>Добавить ячейку</source>
            <translation>Add cell</translation>
        </message>
        <message>
            <source>Удалить ячейку</source>
            <translation>Delete cell</translation>
        </message>
        <message>
            <source>Добавить объед. ячейку</source>
            <translation>Add merged cell</translation>
        </message>
        <message>
            <source>Удалить объед. ячейку</source>
            <translation>Delete merged cell</translation>
        </message>
        <message>
            <source>Добавить ряд</source>
            <translation>Add series</translation>
        </message>
        <message>
            <source>Удалить ряд</source>
            <translation>Delete series</translation>
        </message>
        <message>
            <source>Ячейка(Кол: %s Стр: %s)</source>
            <translation>Cell(Col: %s Row: %s)</translation>
        </message>
        <message>
            <source>Объед. ячейки</source>
            <translation>Merged cells</translation>
        </message>
        <message>
            <source>Таблица Parquet</source>
            <translation>Parquet table</translation>
        </message>
        <message>
            <source>Таблица Markdown</source>
            <translation>Markdown table</translation>
        </message>
        <message>
            <source>Источник прочитан одним соединением: %s.</source>
            <translation>The source was read over one connection: %s.</translation>
        </message>
        <message>
            <source>Не удалось запустить %s: %s</source>
            <translation>Cannot start %s: %s</translation>
        </message>
        <message>
            <source>%s завершилась с кодом %s</source>
            <translation>%s ended with exit code %s</translation>
        </message>
        <message>
            <source>Источник читается только одним соединением.</source>
            <translation>The source is read over one connection only.</translation>
        </message>
        <message>
            <source>Несколько таблиц экспортируются по одной.</source>
            <translation>Several tables are exported one at a time.</translation>
        </message>
        <message>
            <source>Пропуск записей, их число и текущая запись читаются одним соединением.</source>
            <translation>Skipped records, a record count and the current record are read over one connection.</translation>
        </message>
        <message>
            <source>Части и сжатие не сочетаются с параллельным чтением.</source>
            <translation>Parts and compression do not combine with parallel reading.</translation>
        </message>
        <message>
            <source>текст не является запросом SELECT</source>
            <translation>the statement is not a SELECT</translation>
        </message>
        <message>
            <source>в запросе есть предложение WITH</source>
            <translation>the query has a WITH clause</translation>
        </message>
        <message>
            <source>в тексте больше одной команды SQL</source>
            <translation>the text holds more than one statement</translation>
        </message>
        <message>
            <source>в запросе есть подзапрос</source>
            <translation>the query has a subquery</translation>
        </message>
        <message>
            <source>запрос вычисляет агрегатные функции (%s)</source>
            <translation>the query computes aggregates (%s)</translation>
        </message>
        <message>
            <source>в запросе есть оконные функции (OVER)</source>
            <translation>the query has window functions (OVER)</translation>
        </message>
        <message>
            <source>в запросе есть DISTINCT</source>
            <translation>the query has DISTINCT</translation>
        </message>
        <message>
            <source>запрос соединяет несколько таблиц</source>
            <translation>the query joins tables</translation>
        </message>
        <message>
            <source>запрос группирует строки</source>
            <translation>the query groups rows</translation>
        </message>
        <message>
            <source>в запросе есть %s</source>
            <translation>the query has %s</translation>
        </message>
        <message>
            <source>запрос объединяет результаты нескольких запросов (%s)</source>
            <translation>the query combines queries (%s)</translation>
        </message>
        <message>
            <source>запрос не читает ни одной таблицы</source>
            <translation>the query reads no table</translation>
        </message>
        <message>
            <source>запрос читает из подзапроса</source>
            <translation>the query reads a subquery</translation>
        </message>
        <message>
            <source>запрос упорядочен (ORDER BY)</source>
            <translation>the query is sorted (ORDER BY)</translation>
        </message>
        <message>
            <source>запрос упорядочен (ORDER BY) не по тому столбцу, по которому он делится</source>
            <translation>the query is sorted (ORDER BY) by other than the column it is split by</translation>
        </message>
        <message>
            <source>файл этого типа не собирается из частей</source>
            <translation>a file of this type is not made of shares</translation>
        </message>
        <message>
            <source>частями читаются только базы PostgreSQL, MySQL/MariaDB и SQLite</source>
            <translation>only PostgreSQL, MySQL/MariaDB and SQLite databases are read in ranges</translation>
        </message>
        <message>
            <source>%s — не обычная таблица, и её строки не делятся по страницам</source>
            <translation>%s is not a plain table, so its rows cannot be split by pages</translation>
        </message>
        <message>
            <source>у %s нет rowid (это представление или таблица WITHOUT ROWID)</source>
            <translation>%s has no rowid (a view, or a table WITHOUT ROWID)</translation>
        </message>
        <message>
            <source>база SQLite работает в режиме WAL, в котором разные процессы не могут читать один общий снимок</source>
            <translation>the SQLite database is in WAL mode, where processes cannot share one read snapshot</translation>
        </message>
        <message>
            <source>у таблицы %s нет первичного ключа (или это представление)</source>
            <translation>the table %s has no primary key (or it is a view)</translation>
        </message>
        <message>
            <source>первичный ключ таблицы %s состоит из нескольких столбцов</source>
            <translation>the primary key of the table %s has more than one column</translation>
        </message>
        <message>
            <source>первичный ключ таблицы %s не целочисленный (%s)</source>
            <translation>the primary key of the table %s is not an integer (%s)</translation>
        </message>
        <message>
            <source>Параллельное чтение недоступно: %s.</source>
            <translation>Parallel reading is not available: %s.</translation>
        </message>
        <message>
            <source>Источник прочитан одним соединением.</source>
            <translation>The source was read over one connection.</translation>
        </message>
    </context>
    <context>
        <name>Login</name>
        <message>
            <source>Вход в базу данных</source>
            <translation>Database login</translation>
        </message>
        <message>
            <source>База данных:</source>
            <translation>Database:</translation>
        </message>
        <message>
            <source>Пользователь:</source>
            <translation>User:</translation>
        </message>
        <message>
            <source>Пароль:</source>
            <translation>Password:</translation>
        </message>
    </context>
    <context>
        <name>Progress</name>
        <message>
            <source>Подготовка...</source>
            <translation>Preparing...</translation>
        </message>
        <message>
            <source>Отмена</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>Пропуск...</source>
            <translation>Skipping...</translation>
        </message>
        <message>
            <source>Пропущено</source>
            <translation>Skipped</translation>
        </message>
        <message>
            <source>Считывание...</source>
            <translation>Reading...</translation>
        </message>
        <message>
            <source>Считано</source>
            <translation>Read</translation>
        </message>
        <message>
            <source>Экспорт...</source>
            <translation>Exporting...</translation>
        </message>
        <message>
            <source>Экспортировано</source>
            <translation>Exported</translation>
        </message>
        <message>
            <source>Пауза</source>
            <translation>Paused</translation>
        </message>
        <message>
            <source>Прервано</source>
            <translation>Aborted</translation>
        </message>
        <message>
            <source>Завершено</source>
            <translation>Finished</translation>
        </message>
        <message>
            <source>%s стр/сек</source>
            <translation>%s rec/sec</translation>
        </message>
        <message>
            <source>Поле даты dBASE не хранит время суток: оно не сохранено в столбцах %s. Флажок «Дату и время записывать текстом» на странице DBF сохраняет его.</source>
            <translation>A dBASE date field keeps no time of day: it was not kept in the columns %s. The box «Write date and time as text» on the DBF page keeps it.</translation>
        </message>
        <message>
            <source>Экспорт прерван, прежний файл не изменён</source>
            <translation>Export cancelled; the previous file is unchanged</translation>
        </message>
        <message>
            <source>Экспорт прерван, файл не создан</source>
            <translation>Export cancelled; no file was created</translation>
        </message>
        <message>
            <source>Экспорт не выполнен, прежний файл «%s» не изменён.</source>
            <translation>The export failed; the previous file '%s' is unchanged.</translation>
        </message>
        <message>
            <source>Экспорт не выполнен, файл «%s» не создан.</source>
            <translation>The export failed; the file '%s' was not created.</translation>
        </message>
        <message>
            <source>Таблица %s из %s: %s</source>
            <translation>Table %s of %s: %s</translation>
        </message>
        <message>
            <source>Записано таблиц: %s из %s в книгу %s.</source>
            <translation>Tables written: %s of %s, to the workbook %s.</translation>
        </message>
        <message>
            <source>Записано таблиц: %s из %s.</source>
            <translation>Tables written: %s of %s.</translation>
        </message>
        <message>
            <source>Книга не записана: %s.</source>
            <translation>The workbook was not written: %s.</translation>
        </message>
        <message>
            <source>Не записана %s: %s.</source>
            <translation>Table %s was not written: %s.</translation>
        </message>
        <message>
            <source>Прервана на таблице %s.</source>
            <translation>Stopped at the table %s.</translation>
        </message>
        <message>
            <source>Не начаты: %s.</source>
            <translation>Not started: %s.</translation>
        </message>
        <message>
            <source>Книга не открыта: %s.</source>
            <translation>The workbook was not opened: %s.</translation>
        </message>
        <message>
            <source>Часть %s из %s: %s</source>
            <translation>Part %s of %s: %s</translation>
        </message>
    </context>
    <context>
        <name>Startup</name>
        <message>
            <source>Одна копия приложения : "%s" - уже работает</source>
            <translation>One copy of the program : "%s" - is already running</translation>
        </message>
        <message>
            <source>Ошибка выделения памяти</source>
            <translation>Memory allocation error</translation>
        </message>
    </context>
    <context>
        <name>TASCIIPage</name>
        <message>
            <source>Текст с колонками постоянной ширины</source>
            <translation>Text with fixed-width columns</translation>
        </message>
        <message>
            <source>Подбирать ширину столбцов</source>
            <translation>Fit the column widths</translation>
        </message>
        <message>
            <source>Промежуток между столбцами:</source>
            <translation>Space between columns:</translation>
        </message>
        <message>
            <source>Значения через разделитель</source>
            <translation>Delimited values</translation>
        </message>
        <message>
            <source>Строки в кавычках</source>
            <translation>Quote strings</translation>
        </message>
        <message>
            <source>Разделитель:</source>
            <translation>Separator:</translation>
        </message>
        <message>
            <source>Кавычка:</source>
            <translation>Quote:</translation>
        </message>
    </context>
    <context>
        <name>TAboutBox</name>
        <message>
            <source>О программе</source>
            <translation>About</translation>
        </message>
        <message>
            <source>Экспорт таблиц и запросов баз данных в файлы: Excel, PDF, dBASE, RTF, HTML, XML, SQL, CSV, текст и другие форматы.</source>
            <translation>Exports database tables and queries to files: Excel, PDF, dBASE, RTF, HTML, XML, SQL, CSV, text and other formats.</translation>
        </message>
    </context>
    <context>
        <name>TDlgView_List_1</name>
        <message>
            <source>Список</source>
            <translation>List</translation>
        </message>
        <message>
            <source>Кол-во строк = 0</source>
            <translation>Lines = 0</translation>
        </message>
        <message>
            <source>Копировать в буфер обмена</source>
            <translation>Copy to the clipboard</translation>
        </message>
        <message>
            <source>Копировать</source>
            <translation>Copy</translation>
        </message>
        <message>
            <source>Отмена</source>
            <translation>Cancel</translation>
        </message>
    </context>
    <context>
        <name>TDlg_PHP</name>
        <message>
            <source>php-скрипт</source>
            <translation>PHP script</translation>
        </message>
        <message>
            <source>SQL-запрос : </source>
            <translation>SQL query : </translation>
        </message>
        <message>
            <source>Имена полей : </source>
            <translation>Field names : </translation>
        </message>
        <message>
            <source>По правой кнопке - всплывающее меню. Отмеченные галочкой поля - визуализируются ...</source>
            <translation>Right button - context menu. Ticked fields are shown ...</translation>
        </message>
        <message>
            <source>Пометить весь список</source>
            <translation>Tick the whole list</translation>
        </message>
        <message>
            <source>✔ все</source>
            <translation>✔ all</translation>
        </message>
        <message>
            <source>Снять метку со всех строк списка</source>
            <translation>Untick every line of the list</translation>
        </message>
        <message>
            <source>✘ все</source>
            <translation>✘ all</translation>
        </message>
        <message>
            <source>Инвертировать пометку строк списка</source>
            <translation>Invert the ticks of the list</translation>
        </message>
        <message>
            <source>⇄ инверсия</source>
            <translation>⇄ invert</translation>
        </message>
        <message>
            <source>Результат: HTML и PHP ...</source>
            <translation>Result: HTML and PHP ...</translation>
        </message>
        <message>
            <source>Создать текст PHP-скрипта</source>
            <translation>Make the PHP script text</translation>
        </message>
        <message>
            <source>Изменить вузуализацию поля</source>
            <translation>Change how the field is shown</translation>
        </message>
        <message>
            <source>вставить</source>
            <translation>insert</translation>
        </message>
        <message>
            <source>добавить</source>
            <translation>append</translation>
        </message>
        <message>
            <source>Удалить из списка</source>
            <translation>Remove from the list</translation>
        </message>
        <message>
            <source>Скопировать в буфер обмена</source>
            <translation>Copy to the clipboard</translation>
        </message>
        <message>
            <source>Копировать</source>
            <translation>Copy</translation>
        </message>
    </context>
    <context>
        <name>TDlg_SetConnect_to_DB</name>
        <message>
            <source>Настройка соединений на базы данных</source>
            <translation>Database connections</translation>
        </message>
        <message>
            <source>Доступные соединения : </source>
            <translation>Available connections : </translation>
        </message>
        <message>
            <source>Двойной щелчок или «Использовать»: алиас в выбранную строку справа</source>
            <translation>Double click or "Use": the alias into the selected row on the right</translation>
        </message>
        <message>
            <source>Активные соединения : </source>
            <translation>Active connections : </translation>
        </message>
        <message>
            <source>Двойной щелчок: соединить или разъединить</source>
            <translation>Double click: connect or disconnect</translation>
        </message>
        <message>
            <source>Соединить ВСЕ</source>
            <translation>Connect ALL</translation>
        </message>
        <message>
            <source>Разъединить ВСЕ</source>
            <translation>Disconnect ALL</translation>
        </message>
        <message>
            <source>Очистить ВСЕ</source>
            <translation>Clear ALL</translation>
        </message>
        <message>
            <source>Использовать</source>
            <translation>Use</translation>
        </message>
        <message>
            <source>Соединить</source>
            <translation>Connect</translation>
        </message>
        <message>
            <source>Разъединить</source>
            <translation>Disconnect</translation>
        </message>
        <message>
            <source>Удалить</source>
            <translation>Delete</translation>
        </message>
    </context>
    <context>
        <name>TDlg_SetUp</name>
        <message>
            <source>Настройка</source>
            <translation>Settings</translation>
        </message>
        <message>
            <source>Таблицы</source>
            <translation>Tables</translation>
        </message>
        <message>
            <source>Ограничить ширину колонок </source>
            <translation>Limit the column width </translation>
        </message>
        <message>
            <source>Ширина колонок таблицы не больше заданного числа символов (не меньше 2)</source>
            <translation>Table columns no wider than the given number of characters (at least 2)</translation>
        </message>
        <message>
            <source>Ширина колонки, символов:</source>
            <translation>Column width, characters:</translation>
        </message>
        <message>
            <source>Язык</source>
            <translation>Language</translation>
        </message>
        <message>
            <source>Язык программы:</source>
            <translation>Interface language:</translation>
        </message>
        <message>
            <source>Как в системе</source>
            <translation>As the system</translation>
        </message>
        <message>
            <source>Язык сменится при следующем запуске программы.</source>
            <translation>The language changes when the program is next started.</translation>
        </message>
    </context>
    <context>
        <name>TDlg_TableStruct</name>
        <message>
            <source>Структура таблицы</source>
            <translation>Table structure</translation>
        </message>
        <message>
            <source>Структура : </source>
            <translation>Structure : </translation>
        </message>
        <message>
            <source>Текст SQL-запроса : </source>
            <translation>SQL query text : </translation>
        </message>
    </context>
    <context>
        <name>TDlg_ViewMemo</name>
        <message>
            <source>Содержание MEMO-поля</source>
            <translation>MEMO field contents</translation>
        </message>
        <message>
            <source>Скопировать в буфер обмена</source>
            <translation>Copy to the clipboard</translation>
        </message>
        <message>
            <source>Копировать</source>
            <translation>Copy</translation>
        </message>
        <message>
            <source>Отмена</source>
            <translation>Cancel</translation>
        </message>
    </context>
    <context>
        <name>TExportDialogF</name>
        <message>
            <source>Диалог экспорта</source>
            <translation>Export dialog</translation>
        </message>
        <message>
            <source>Имя файла</source>
            <translation>File name</translation>
        </message>
        <message>
            <source>Обзор...</source>
            <translation>Browse...</translation>
        </message>
        <message>
            <source>Открыть файл после экспорта</source>
            <translation>Open the file after export</translation>
        </message>
        <message>
            <source>Печатать файл после экспорта</source>
            <translation>Print the file after export</translation>
        </message>
        <message>
            <source>Вид экспорта</source>
            <translation>Export type</translation>
        </message>
        <message>
            <source> Экспортировать в </source>
            <translation> Export to </translation>
        </message>
        <message>
            <source> &amp;Форматы</source>
            <translation> &amp;Formats</translation>
        </message>
        <message>
            <source>&amp;Кодировка файла:</source>
            <translation>File &amp;encoding:</translation>
        </message>
        <message>
            <source>Системная</source>
            <translation>System</translation>
        </message>
        <message>
            <source>UTF-8 с меткой (BOM)</source>
            <translation>UTF-8 with a mark (BOM)</translation>
        </message>
        <message>
            <source>По объекту в &amp;строке (JSON Lines)</source>
            <translation>One object per &amp;line (JSON Lines)</translation>
        </message>
        <message>
            <source>&amp;Опции</source>
            <translation>&amp;Options</translation>
        </message>
        <message>
            <source> Ограничения </source>
            <translation> Constraints </translation>
        </message>
        <message>
            <source>На первую запись</source>
            <translation>Go to the first record</translation>
        </message>
        <message>
            <source>Текущая запись</source>
            <translation>Current record only</translation>
        </message>
        <message>
            <source>Разрешить пустой экспорт</source>
            <translation>Allow an empty export</translation>
        </message>
        <message>
            <source>Пропустить</source>
            <translation>Skip</translation>
        </message>
        <message>
            <source>записей</source>
            <translation>records</translation>
        </message>
        <message>
            <source>Экспортировать все</source>
            <translation>Export all</translation>
        </message>
        <message>
            <source>Экспортировать только</source>
            <translation>Export only</translation>
        </message>
        <message>
            <source>Поля</source>
            <translation>Fields</translation>
        </message>
        <message>
            <source>Все поля:</source>
            <translation>All fields:</translation>
        </message>
        <message>
            <source>Экспортируемые поля:</source>
            <translation>Exported fields:</translation>
        </message>
        <message>
            <source>Форматы</source>
            <translation>Formats</translation>
        </message>
        <message>
            <source>Стандартные</source>
            <translation>Standard</translation>
        </message>
        <message>
            <source>Целое</source>
            <translation>Integer</translation>
        </message>
        <message>
            <source>Дробное</source>
            <translation>Float</translation>
        </message>
        <message>
            <source>Дата</source>
            <translation>Date</translation>
        </message>
        <message>
            <source>Время</source>
            <translation>Time</translation>
        </message>
        <message>
            <source>Дата и время</source>
            <translation>Date and time</translation>
        </message>
        <message>
            <source>Валюта</source>
            <translation>Currency</translation>
        </message>
        <message>
            <source>True прописью</source>
            <translation>True as text</translation>
        </message>
        <message>
            <source>False прописью</source>
            <translation>False as text</translation>
        </message>
        <message>
            <source>Null прописью</source>
            <translation>Null as text</translation>
        </message>
        <message>
            <source>Пользовательские форматы</source>
            <translation>User formats</translation>
        </message>
        <message>
            <source>Добавить</source>
            <translation>Add</translation>
        </message>
        <message>
            <source>Изменить</source>
            <translation>Edit</translation>
        </message>
        <message>
            <source>Удалить</source>
            <translation>Delete</translation>
        </message>
        <message>
            <source>Очистить</source>
            <translation>Clear</translation>
        </message>
        <message>
            <source>Шапка и подвал</source>
            <translation>Header and footer</translation>
        </message>
        <message>
            <source>Шапка:</source>
            <translation>Header:</translation>
        </message>
        <message>
            <source>Подвал:</source>
            <translation>Footer:</translation>
        </message>
        <message>
            <source>&amp;Заголовки</source>
            <translation>&amp;Captions</translation>
        </message>
        <message>
            <source>Выводить заголовки</source>
            <translation>Write captions</translation>
        </message>
        <message>
            <source>Строка заголовков</source>
            <translation>Caption row</translation>
        </message>
        <message>
            <source>&amp;Начать экспорт</source>
            <translation>&amp;Start export</translation>
        </message>
        <message>
            <source>&amp;Закрыть</source>
            <translation>&amp;Close</translation>
        </message>
        <message>
            <source>Вы уверены?</source>
            <translation>Are you sure?</translation>
        </message>
        <message>
            <source>Вы действительно хотите прервать процесс экспорта?</source>
            <translation>Do you really want to abort the export?</translation>
        </message>
        <message>
            <source>Ошибка</source>
            <translation>Error</translation>
        </message>
        <message>
            <source>Сервис</source>
            <translation>Tools</translation>
        </message>
        <message>
            <source>Слово для истинного логического значения: его пишет SQL-скрипт, по нему Excel узнаёт логическую ячейку. Остальные виды экспорта пишут логическое поле его собственным текстом (True или False).</source>
            <translation>The word for a true Boolean value: the SQL script writes it, and Excel recognises a Boolean cell by it. The other export types write a Boolean field as its own text (True or False).</translation>
        </message>
        <message>
            <source>Слово для ложного логического значения: его пишет SQL-скрипт. Остальные виды экспорта пишут логическое поле его собственным текстом (True или False).</source>
            <translation>The word for a false Boolean value: the SQL script writes it. The other export types write a Boolean field as its own text (True or False).</translation>
        </message>
        <message>
            <source>Сбросить</source>
            <translation>Reset</translation>
        </message>
        <message>
            <source>Вернуть все настройки экспорта к исходным</source>
            <translation>Return every export setting to its default</translation>
        </message>
        <message>
            <source> Части и сжатие </source>
            <translation> Parts and compression </translation>
        </message>
        <message>
            <source>Строк в части</source>
            <translation>Rows per part</translation>
        </message>
        <message>
            <source>0 или пусто: не делить по строкам</source>
            <translation>0 or empty: no split by rows</translation>
        </message>
        <message>
            <source>Размер части</source>
            <translation>Part size</translation>
        </message>
        <message>
            <source>Например 100M или 1G; пусто: не делить по размеру</source>
            <translation>For example 100M or 1G; empty: no split by size</translation>
        </message>
        <message>
            <source>Сжатие</source>
            <translation>Compression</translation>
        </message>
        <message>
            <source>Без сжатия</source>
            <translation>None</translation>
        </message>
        <message>
            <source>Манифест: строки, размер и SHA-256 каждого файла</source>
            <translation>Manifest: rows, size and SHA-256 of every file</translation>
        </message>
        <message>
            <source> Параллельное чтение </source>
            <translation> Parallel reading </translation>
        </message>
        <message>
            <source>Читать источник частями через</source>
            <translation>Read the source in ranges over</translation>
        </message>
        <message>
            <source>соединений</source>
            <translation>connections</translation>
        </message>
    </context>
    <context>
        <name>TForm1</name>
        <message>
            <source>Использовать</source>
            <translation>Use</translation>
        </message>
        <message>
            <source>Используется по умолчанию : USER NAME=SYSDBA и password=brickmoss</source>
            <translation>Used by default : USER NAME=SYSDBA and password=brickmoss</translation>
        </message>
        <message>
            <source>Стандартный вход IB</source>
            <translation>Standard IB login</translation>
        </message>
        <message>
            <source>Алиас (BDE-5) = </source>
            <translation>Alias = </translation>
        </message>
        <message>
            <source>Алиас базы данных из настроек движка</source>
            <translation>A database alias of the engine settings</translation>
        </message>
        <message>
            <source>Имя файла таблицы : </source>
            <translation>Table file name : </translation>
        </message>
        <message>
            <source>Если отмечено, то используется выбранная папка</source>
            <translation>When ticked, the chosen folder is used</translation>
        </message>
        <message>
            <source>Папка :</source>
            <translation>Folder :</translation>
        </message>
        <message>
            <source>Выбрать папку с таблицами</source>
            <translation>Choose the folder of the tables</translation>
        </message>
        <message>
            <source>Расширение файлов </source>
            <translation>File extension </translation>
        </message>
        <message>
            <source>Прочитать список таблиц</source>
            <translation>Read the table list</translation>
        </message>
        <message>
            <source>Прочитать список</source>
            <translation>Read the list</translation>
        </message>
        <message>
            <source>только Пользовательские</source>
            <translation>user tables only</translation>
        </message>
        <message>
            <source>Список Таблиц : </source>
            <translation>Tables : </translation>
        </message>
        <message>
            <source>Первая запись</source>
            <translation>First record</translation>
        </message>
        <message>
            <source>Предыдущая запись</source>
            <translation>Previous record</translation>
        </message>
        <message>
            <source>Следующая запись</source>
            <translation>Next record</translation>
        </message>
        <message>
            <source>Последняя запись</source>
            <translation>Last record</translation>
        </message>
        <message>
            <source>Открыть таблицу</source>
            <translation>Open the table</translation>
        </message>
        <message>
            <source>Открыть</source>
            <translation>Open</translation>
        </message>
        <message>
            <source>Экспорт таблицы</source>
            <translation>Export the table</translation>
        </message>
        <message>
            <source>Экспорт</source>
            <translation>Export</translation>
        </message>
        <message>
            <source>  Папка экспорта :</source>
            <translation>  Export folder :</translation>
        </message>
        <message>
            <source>Выбрать папку для Экспорта</source>
            <translation>Choose the export folder</translation>
        </message>
        <message>
            <source>Сортировка (имена полей через запятую) : </source>
            <translation>Sort (field names, comma-separated) : </translation>
        </message>
        <message>
            <source>Имена полей : </source>
            <translation>Field names : </translation>
        </message>
        <message>
            <source>Имена полей обрамить символами</source>
            <translation>Frame the field names with characters</translation>
        </message>
        <message>
            <source>Имена полей - по умолчанию ...</source>
            <translation>Field names - as by default ...</translation>
        </message>
        <message>
            <source>Обрамить имена полей в файле (формат SQL).</source>
            <translation>Frame the field names in a file (SQL format).</translation>
        </message>
        <message>
            <source>SQL-файл : </source>
            <translation>SQL file : </translation>
        </message>
        <message>
            <source>Имена полей в INSERT (SQL) обрамить символами (в файле)</source>
            <translation>Frame the field names of INSERT (SQL) with characters (in a file)</translation>
        </message>
        <message>
            <source>Экспорт Memo-поля в текст. файлы : </source>
            <translation>Memo field to text files : </translation>
        </message>
        <message>
            <source>поле MEMO=</source>
            <translation>MEMO field=</translation>
        </message>
        <message>
            <source>Имя MEMO-поля, которое экспортируется в текстовые файлы</source>
            <translation>The name of the MEMO field exported to text files</translation>
        </message>
        <message>
            <source>поле ID=</source>
            <translation>ID field=</translation>
        </message>
        <message>
            <source>Имя поля, содержание которого участвует в образовании имени файла для экспорта MEMO-поля. Если не указано, то в имени файла присутствует порядковый номер строки (начиная с 1-й)</source>
            <translation>The field whose value makes part of each MEMO file's name. When none is given, the file name holds the row's number (from 1)</translation>
        </message>
        <message>
            <source>Правая кнопка мыши - меню</source>
            <translation>Right mouse button - menu</translation>
        </message>
        <message>
            <source>SQL запрос : </source>
            <translation>SQL query : </translation>
        </message>
        <message>
            <source>Сформировать SQL-запрос вручную и выполнить</source>
            <translation>Run the SQL query typed by hand</translation>
        </message>
        <message>
            <source>Выполнить</source>
            <translation>Run</translation>
        </message>
        <message>
            <source>Текст открытой таблицы переносится в SQL-запрос</source>
            <translation>The opened table's text is carried into the SQL query</translation>
        </message>
        <message>
            <source>Автоформирование</source>
            <translation>Auto-fill</translation>
        </message>
        <message>
            <source>Текст SQL-запроса автоматически сохраняется на диск (при нажатии на кнопку)</source>
            <translation>The SQL query text is saved to disk (when the button is pressed)</translation>
        </message>
        <message>
            <source>Автосохранение </source>
            <translation>Autosave </translation>
        </message>
        <message>
            <source>Создать соединения для ГЕТЕРОГЕННОГО запроса</source>
            <translation>Make the connections of a HETEROGENEOUS query</translation>
        </message>
        <message>
            <source>Подключить</source>
            <translation>Connect</translation>
        </message>
        <message>
            <source>Выполнить гетерогенный</source>
            <translation>Run heterogeneous</translation>
        </message>
        <message>
            <source>Разорвать соединения для ГЕТЕРОГЕННОГО запроса</source>
            <translation>Drop the connections of a HETEROGENEOUS query</translation>
        </message>
        <message>
            <source>Отключить</source>
            <translation>Disconnect</translation>
        </message>
        <message>
            <source>Формирование PHP-кода для открытого набора данных</source>
            <translation>PHP code for the open dataset</translation>
        </message>
        <message>
            <source>Экспорт в SDF-формат</source>
            <translation>Export to SDF format</translation>
        </message>
        <message>
            <source>Текст SQL-запроса изменён</source>
            <translation>The SQL query text has changed</translation>
        </message>
        <message>
            <source>О программе</source>
            <translation>About</translation>
        </message>
        <message>
            <source>Сервис</source>
            <translation>Tools</translation>
        </message>
        <message>
            <source>Настройка</source>
            <translation>Settings</translation>
        </message>
        <message>
            <source>Список таблиц</source>
            <translation>Table list</translation>
        </message>
        <message>
            <source>Открыть таблицу (SELECT)</source>
            <translation>Open the table (SELECT)</translation>
        </message>
        <message>
            <source>Посмотреть структуру открытого SQL-запроса (обобщенно)</source>
            <translation>View the structure of the open SQL query (summary)</translation>
        </message>
        <message>
            <source>Посмотреть содержание поля в отдельном окне</source>
            <translation>View the field's contents in a window of its own</translation>
        </message>
        <message>
            <source>Имя этого MEMO-поля использовать для экспорта в txt-файл</source>
            <translation>Use this MEMO field's name for the export to txt files</translation>
        </message>
        <message>
            <source>Имя этого поля использовать для экспорта, как ИДЕНТИФИЦИРУЮЩЕЕ</source>
            <translation>Use this field's name for the export as the IDENTIFYING one</translation>
        </message>
        <message>
            <source>Прочитать строку таблицы в отдельный список</source>
            <translation>Read the table row into a list of its own</translation>
        </message>
        <message>
            <source>Алиас БД : </source>
            <translation>Alias DB : </translation>
        </message>
        <message>
            <source>Сведения об алиасе :</source>
            <translation>Alias Info :</translation>
        </message>
        <message>
            <source>поля</source>
            <translation>fields</translation>
        </message>
        <message>
            <source>индексы</source>
            <translation>index</translation>
        </message>
        <message>
            <source>Сформировать соответствующий PHP-код</source>
            <translation>Make the matching PHP code</translation>
        </message>
        <message>
            <source>Экспорт в Excel (OLE)</source>
            <translation>Export to Excel (OLE)</translation>
        </message>
        <message>
            <source>Если отмечено, то используется выбранный алиас BDE-5</source>
            <translation>When ticked, the chosen alias is used</translation>
        </message>
        <message>
            <source>Двойной щелчок - открыть; выделите несколько таблиц, чтобы экспортировать их за один раз</source>
            <translation>Double click - open; select several tables to export them in one run</translation>
        </message>
    </context>
    <context>
        <name>THTMLPage</name>
        <message>
            <source>Страница</source>
            <translation>Page</translation>
        </message>
        <message>
            <source>Заголовок:</source>
            <translation>Title:</translation>
        </message>
        <message>
            <source>Шрифт:</source>
            <translation>Font:</translation>
        </message>
        <message>
            <source>Фоновый рисунок:</source>
            <translation>Background picture:</translation>
        </message>
        <message>
            <source>Обзор...</source>
            <translation>Browse...</translation>
        </message>
        <message>
            <source>Атрибуты тега body:</source>
            <translation>Attributes of the body tag:</translation>
        </message>
        <message>
            <source>Цветовой шаблон</source>
            <translation>Colour template</translation>
        </message>
        <message>
            <source>Сохранить...</source>
            <translation>Save...</translation>
        </message>
        <message>
            <source>Загрузить...</source>
            <translation>Load...</translation>
        </message>
        <message>
            <source>Цвета страницы</source>
            <translation>Page colours</translation>
        </message>
        <message>
            <source>Фон:</source>
            <translation>Background:</translation>
        </message>
        <message>
            <source>Выбрать цвет</source>
            <translation>Choose a colour</translation>
        </message>
        <message>
            <source>Текст:</source>
            <translation>Text:</translation>
        </message>
        <message>
            <source>Ссылка:</source>
            <translation>Link:</translation>
        </message>
        <message>
            <source>Посещённая:</source>
            <translation>Visited:</translation>
        </message>
        <message>
            <source>Активная:</source>
            <translation>Active:</translation>
        </message>
        <message>
            <source>Таблица</source>
            <translation>Table</translation>
        </message>
        <message>
            <source>Толщина рамки:</source>
            <translation>Border width:</translation>
        </message>
        <message>
            <source>Отступ в ячейке:</source>
            <translation>Cell padding:</translation>
        </message>
        <message>
            <source>Между ячейками:</source>
            <translation>Cell spacing:</translation>
        </message>
        <message>
            <source>Атрибуты тега table:</source>
            <translation>Attributes of the table tag:</translation>
        </message>
        <message>
            <source>Цвета таблицы</source>
            <translation>Table colours</translation>
        </message>
        <message>
            <source>Фон заголовков:</source>
            <translation>Caption background:</translation>
        </message>
        <message>
            <source>Текст заголовков:</source>
            <translation>Caption text:</translation>
        </message>
        <message>
            <source>Фон таблицы:</source>
            <translation>Table background:</translation>
        </message>
        <message>
            <source>Текст таблицы:</source>
            <translation>Table text:</translation>
        </message>
        <message>
            <source>Фон нечётных строк:</source>
            <translation>Odd rows background:</translation>
        </message>
        <message>
            <source>Файлы</source>
            <translation>Files</translation>
        </message>
        <message>
            <source>Стили CSS</source>
            <translation>CSS styles</translation>
        </message>
        <message>
            <source>Внутри страницы</source>
            <translation>Inside the page</translation>
        </message>
        <message>
            <source>Во внешнем файле:</source>
            <translation>In a file of their own:</translation>
        </message>
        <message>
            <source>Перезаписывать файл CSS</source>
            <translation>Overwrite the CSS file</translation>
        </message>
        <message>
            <source>Несколько файлов</source>
            <translation>Several files</translation>
        </message>
        <message>
            <source>Разбивать по</source>
            <translation>Split by</translation>
        </message>
        <message>
            <source>записей в файле</source>
            <translation>records per file</translation>
        </message>
        <message>
            <source>Создать оглавление</source>
            <translation>Make an index page</translation>
        </message>
        <message>
            <source>Шаблон ссылки оглавления:</source>
            <translation>Index link pattern:</translation>
        </message>
        <message>
            <source>Навигация сверху</source>
            <translation>Navigation on top</translation>
        </message>
        <message>
            <source>Навигация снизу</source>
            <translation>Navigation at the bottom</translation>
        </message>
        <message>
            <source>Названия ссылок</source>
            <translation>Link names</translation>
        </message>
        <message>
            <source>Оглавление:</source>
            <translation>Index:</translation>
        </message>
        <message>
            <source>Первая:</source>
            <translation>First:</translation>
        </message>
        <message>
            <source>Предыдущая:</source>
            <translation>Prior:</translation>
        </message>
        <message>
            <source>Следующая:</source>
            <translation>Next:</translation>
        </message>
        <message>
            <source>Последняя:</source>
            <translation>Last:</translation>
        </message>
        <message>
            <source>Свой</source>
            <translation>Custom</translation>
        </message>
        <message>
            <source>Чёрно-белый</source>
            <translation>Black&amp;White</translation>
        </message>
        <message>
            <source>Классический</source>
            <translation>Classic</translation>
        </message>
        <message>
            <source>Красочный</source>
            <translation>ColorFul</translation>
        </message>
        <message>
            <source>Серый</source>
            <translation>Gray</translation>
        </message>
        <message>
            <source>Сумрачный</source>
            <translation>Murky</translation>
        </message>
        <message>
            <source>Оливковый</source>
            <translation>Olive</translation>
        </message>
        <message>
            <source>Простой</source>
            <translation>Plain</translation>
        </message>
        <message>
            <source>Строгий</source>
            <translation>Simple</translation>
        </message>
    </context>
    <context>
        <name>TPDFPage</name>
        <message>
            <source>Страница</source>
            <translation>Page</translation>
        </message>
        <message>
            <source>Формат листа</source>
            <translation>Page format</translation>
        </message>
        <message>
            <source>Формат:</source>
            <translation>Format:</translation>
        </message>
        <message>
            <source>Ед. измерения</source>
            <translation>Units</translation>
        </message>
        <message>
            <source>Ширина, пт:</source>
            <translation>Width, pt:</translation>
        </message>
        <message>
            <source>Высота, пт:</source>
            <translation>Height, pt:</translation>
        </message>
        <message>
            <source>Ориентация</source>
            <translation>Orientation</translation>
        </message>
        <message>
            <source>Отступы</source>
            <translation>Margins</translation>
        </message>
        <message>
            <source>Слева, пт:</source>
            <translation>Left, pt:</translation>
        </message>
        <message>
            <source>Справа, пт:</source>
            <translation>Right, pt:</translation>
        </message>
        <message>
            <source>Сверху, пт:</source>
            <translation>Top, pt:</translation>
        </message>
        <message>
            <source>Снизу, пт:</source>
            <translation>Bottom, pt:</translation>
        </message>
        <message>
            <source>Таблица</source>
            <translation>Table</translation>
        </message>
        <message>
            <source>Между столбцами:</source>
            <translation>Column spacing:</translation>
        </message>
        <message>
            <source>Между строками:</source>
            <translation>Row spacing:</translation>
        </message>
        <message>
            <source>Толщина линий:</source>
            <translation>Line width:</translation>
        </message>
        <message>
            <source>Шрифты</source>
            <translation>Fonts</translation>
        </message>
        <message>
            <source>Шапка</source>
            <translation>Header</translation>
        </message>
        <message>
            <source>Заголовки</source>
            <translation>Captions</translation>
        </message>
        <message>
            <source>Данные</source>
            <translation>Data</translation>
        </message>
        <message>
            <source>Подвал</source>
            <translation>Footer</translation>
        </message>
        <message>
            <source>Шрифт</source>
            <translation>Font</translation>
        </message>
        <message>
            <source>Шрифт:</source>
            <translation>Font:</translation>
        </message>
        <message>
            <source>Кодировка:</source>
            <translation>Encoding:</translation>
        </message>
        <message>
            <source>Размер:</source>
            <translation>Size:</translation>
        </message>
        <message>
            <source>Цвет:</source>
            <translation>Colour:</translation>
        </message>
        <message>
            <source>Выбрать цвет</source>
            <translation>Choose a colour</translation>
        </message>
        <message>
            <source>Особый</source>
            <translation>User</translation>
        </message>
        <message>
            <source>Дюймы</source>
            <translation>Inches</translation>
        </message>
        <message>
            <source>Миллиметры</source>
            <translation>Millimeters</translation>
        </message>
        <message>
            <source>Точки</source>
            <translation>Dots</translation>
        </message>
        <message>
            <source>Книжная</source>
            <translation>Portrait</translation>
        </message>
        <message>
            <source>Альбомная</source>
            <translation>Landscape</translation>
        </message>
    </context>
    <context>
        <name>TRTFPage</name>
        <message>
            <source>Основные стили:</source>
            <translation>Base styles:</translation>
        </message>
        <message>
            <source>Стили чередования:</source>
            <translation>Strip styles:</translation>
        </message>
        <message>
            <source>Сбросить</source>
            <translation>Reset</translation>
        </message>
        <message>
            <source>Вернуть выбранному стилю значения по умолчанию</source>
            <translation>Give the selected style its defaults</translation>
        </message>
        <message>
            <source>Сбросить все</source>
            <translation>Reset all</translation>
        </message>
        <message>
            <source>Вернуть всем стилям значения по умолчанию</source>
            <translation>Give every style its defaults</translation>
        </message>
        <message>
            <source>Добавить стиль чередования</source>
            <translation>Add a strip style</translation>
        </message>
        <message>
            <source>Удалить стиль чередования</source>
            <translation>Delete the strip style</translation>
        </message>
        <message>
            <source>Выше</source>
            <translation>Up</translation>
        </message>
        <message>
            <source>Ниже</source>
            <translation>Down</translation>
        </message>
        <message>
            <source>Файл стилей:</source>
            <translation>Style file:</translation>
        </message>
        <message>
            <source>Сохранить...</source>
            <translation>Save...</translation>
        </message>
        <message>
            <source>Сохранить стили чередования в файл</source>
            <translation>Save the strip styles to a file</translation>
        </message>
        <message>
            <source>Загрузить...</source>
            <translation>Load...</translation>
        </message>
        <message>
            <source>Загрузить стили чередования из файла</source>
            <translation>Load the strip styles from a file</translation>
        </message>
        <message>
            <source>Чередование</source>
            <translation>Strips</translation>
        </message>
        <message>
            <source>Нет</source>
            <translation>None</translation>
        </message>
        <message>
            <source>По столбцам</source>
            <translation>By columns</translation>
        </message>
        <message>
            <source>По строкам</source>
            <translation>By rows</translation>
        </message>
        <message>
            <source>Ориентация</source>
            <translation>Orientation</translation>
        </message>
        <message>
            <source>Книжная</source>
            <translation>Portrait</translation>
        </message>
        <message>
            <source>Альбомная</source>
            <translation>Landscape</translation>
        </message>
        <message>
            <source>Стиль</source>
            <translation>Style</translation>
        </message>
        <message>
            <source>Шрифт:</source>
            <translation>Font:</translation>
        </message>
        <message>
            <source>Размер:</source>
            <translation>Size:</translation>
        </message>
        <message>
            <source>Цвет:</source>
            <translation>Colour:</translation>
        </message>
        <message>
            <source>Выбрать цвет</source>
            <translation>Choose a colour</translation>
        </message>
        <message>
            <source>Жирный</source>
            <translation>Bold</translation>
        </message>
        <message>
            <source>Курсив</source>
            <translation>Italic</translation>
        </message>
        <message>
            <source>Подчёркнутый</source>
            <translation>Underline</translation>
        </message>
        <message>
            <source>Зачёркнутый</source>
            <translation>Strike-out</translation>
        </message>
        <message>
            <source>Выравнивание:</source>
            <translation>Alignment:</translation>
        </message>
        <message>
            <source>Влево</source>
            <translation>Left</translation>
        </message>
        <message>
            <source>По центру</source>
            <translation>Center</translation>
        </message>
        <message>
            <source>Вправо</source>
            <translation>Right</translation>
        </message>
        <message>
            <source>По ширине</source>
            <translation>Justify</translation>
        </message>
        <message>
            <source>Фон:</source>
            <translation>Background:</translation>
        </message>
        <message>
            <source>Выделение:</source>
            <translation>Highlight:</translation>
        </message>
        <message>
            <source>АаБб Образец</source>
            <translation>AaBb Sample</translation>
        </message>
    </context>
    <context>
        <name>TSQLPage</name>
        <message>
            <source>Имя таблицы:</source>
            <translation>Table name:</translation>
        </message>
        <message>
            <source>по имени файла</source>
            <translation>from the file name</translation>
        </message>
        <message>
            <source>Создать таблицу (CREATE TABLE)</source>
            <translation>Create the table (CREATE TABLE)</translation>
        </message>
        <message>
            <source>Фиксировать каждые (записей):</source>
            <translation>Commit every (records):</translation>
        </message>
        <message>
            <source>Фиксировать в конце скрипта</source>
            <translation>Commit at the end of the script</translation>
        </message>
        <message>
            <source>Оператор фиксации:</source>
            <translation>Commit statement:</translation>
        </message>
        <message>
            <source>Конец оператора:</source>
            <translation>Statement end:</translation>
        </message>
        <message>
            <source>Null прописью:</source>
            <translation>Null as text:</translation>
        </message>
    </context>
    <context>
        <name>TXLSPage</name>
        <message>
            <source>Формат данных</source>
            <translation>Data format</translation>
        </message>
        <message>
            <source>Поля</source>
            <translation>Fields</translation>
        </message>
        <message>
            <source>Опции</source>
            <translation>Options</translation>
        </message>
        <message>
            <source>Стили</source>
            <translation>Styles</translation>
        </message>
        <message>
            <source>Добавить стиль</source>
            <translation>Add style</translation>
        </message>
        <message>
            <source>Удалить стиль</source>
            <translation>Delete style</translation>
        </message>
        <message>
            <source>Перместить вверх</source>
            <translation>Move up</translation>
        </message>
        <message>
            <source>Переместить вниз</source>
            <translation>Move down</translation>
        </message>
        <message>
            <source>Сохр.</source>
            <translation>Save</translation>
        </message>
        <message>
            <source>Сохранить стиль</source>
            <translation>Save style</translation>
        </message>
        <message>
            <source>Загр.</source>
            <translation>Load</translation>
        </message>
        <message>
            <source>Загрузить стиль</source>
            <translation>Load style</translation>
        </message>
        <message>
            <source>Вид матраса</source>
            <translation>Strip type</translation>
        </message>
        <message>
            <source>Нет</source>
            <translation>None</translation>
        </message>
        <message>
            <source>Кол.</source>
            <translation>Col</translation>
        </message>
        <message>
            <source>Стр.</source>
            <translation>Row</translation>
        </message>
        <message>
            <source>Сбросить</source>
            <translation>Reset</translation>
        </message>
        <message>
            <source>Сбросить все</source>
            <translation>Reset all</translation>
        </message>
        <message>
            <source>Дополнительно</source>
            <translation>More</translation>
        </message>
        <message>
            <source>Верх. колонтитул</source>
            <translation>Page header</translation>
        </message>
        <message>
            <source>Нижн. колонтитул</source>
            <translation>Page footer</translation>
        </message>
        <message>
            <source>Имя страницы</source>
            <translation>Sheet name</translation>
        </message>
        <message>
            <source>Фон</source>
            <translation>Background</translation>
        </message>
        <message>
            <source>Автоподбор ширины столбцов</source>
            <translation>Auto calculate column width</translation>
        </message>
        <message>
            <source>Расширения</source>
            <translation>Extensions</translation>
        </message>
        <message>
            <source>Несколько таблиц — в одну книгу, каждую на свой лист</source>
            <translation>Several tables into one workbook, each on a sheet of its own</translation>
        </message>
    </context>
    <context>
        <name>TXMLPage</name>
        <message>
            <source>Кодировка:</source>
            <translation>Encoding:</translation>
        </message>
        <message>
            <source>Автономный документ</source>
            <translation>Standalone</translation>
        </message>
    </context>
    <context>
        <name>TfmExportProgress</name>
        <message>
            <source>Идет экспорт...</source>
            <translation>Exporting...</translation>
        </message>
        <message>
            <source>Статус</source>
            <translation>Status</translation>
        </message>
        <message>
            <source>Экспортировано</source>
            <translation>Exported</translation>
        </message>
        <message>
            <source>Время</source>
            <translation>Time</translation>
        </message>
        <message>
            <source>Скорость</source>
            <translation>Speed</translation>
        </message>
        <message>
            <source>Отмена</source>
            <translation>Cancel</translation>
        </message>
    </context>
    <context>
        <name>morvale::TDlgView_List_1</name>
        <message>
            <source>Кол-во строк = </source>
            <translation>Lines = </translation>
        </message>
        <message>
            <source>Кол-во строк = 0</source>
            <translation>Lines = 0</translation>
        </message>
        <message>
            <source>Содержание строки таблицы</source>
            <translation>The table row's contents</translation>
        </message>
    </context>
    <context>
        <name>morvale::TDlg_PHP</name>
        <message>
            <source>Новое поле</source>
            <translation>New field</translation>
        </message>
        <message>
            <source>Поле: &lt;%1&gt;</source>
            <translation>Field: &lt;%1&gt;</translation>
        </message>
        <message>
            <source>Отредактируйте</source>
            <translation>Edit it</translation>
        </message>
        <message>
            <source>Введите имя поля</source>
            <translation>Type the field name</translation>
        </message>
        <message>
            <source>Такое поле уже есть в списке</source>
            <translation>The list already has that field</translation>
        </message>
    </context>
    <context>
        <name>morvale::TDlg_TableStruct</name>
        <message>
            <source>Поле</source>
            <translation>Field</translation>
        </message>
        <message>
            <source>Тип</source>
            <translation>Type</translation>
        </message>
        <message>
            <source>Размер</source>
            <translation>Size</translation>
        </message>
        <message>
            <source>Сначала откройте таблицу ...</source>
            <translation>Open a table first ...</translation>
        </message>
    </context>
    <context>
        <name>morvale::TForm1</name>
        <message>
            <source>dbf-файлы|*.dbf|DB-файлы|*.db|Все файлы|*.*</source>
            <translation>dbf files|*.dbf|DB files|*.db|All files|*.*</translation>
        </message>
        <message>
            <source>Структура</source>
            <translation>Structure</translation>
        </message>
        <message>
            <source>Читаем список таблиц ...</source>
            <translation>Reading the table list ...</translation>
        </message>
        <message>
            <source>Список таблиц прочитан</source>
            <translation>The table list is read</translation>
        </message>
        <message>
            <source>Пытаемся открыть таблицу ...</source>
            <translation>Opening the table ...</translation>
        </message>
        <message>
            <source>Таблица %1 - открыта</source>
            <translation>Table %1 - opened</translation>
        </message>
        <message>
            <source>Пытаемся выполнить команду SHOW fields ...</source>
            <translation>Running SHOW fields ...</translation>
        </message>
        <message>
            <source>Таблица %1 - команда выполнена</source>
            <translation>Table %1 - command done</translation>
        </message>
        <message>
            <source>Пытаемся выполнить команду SHOW index ...</source>
            <translation>Running SHOW index ...</translation>
        </message>
        <message>
            <source>Пытаемся выполнить команду DESCRIBE ...</source>
            <translation>Running DESCRIBE ...</translation>
        </message>
        <message>
            <source>Попытка выполнить SQL-запрос</source>
            <translation>Running the SQL query</translation>
        </message>
        <message>
            <source>SQL-запрос выполнен</source>
            <translation>The SQL query is done</translation>
        </message>
        <message>
            <source>SQL-запрос некорректен. Допустима только команда SELECT, SHOW или DESC</source>
            <translation>The SQL query is not valid. Only SELECT, SHOW or DESC is allowed</translation>
        </message>
        <message>
            <source>SQL-запрос некорректен. Допустима только команда SELECT</source>
            <translation>The SQL query is not valid. Only SELECT is allowed</translation>
        </message>
        <message>
            <source>Экспортируем инфу ...</source>
            <translation>Exporting ...</translation>
        </message>
        <message>
            <source>Экспорт закончен</source>
            <translation>Export finished</translation>
        </message>
        <message>
            <source>Содержание поля</source>
            <translation>The field's contents</translation>
        </message>
        <message>
            <source>Сначала откройте таблицу ...</source>
            <translation>Open a table first ...</translation>
        </message>
        <message>
            <source>Пытаемся прочитать структуру ...</source>
            <translation>Reading the structure ...</translation>
        </message>
        <message>
            <source>SQL-запрос - структура считана</source>
            <translation>SQL query - structure read</translation>
        </message>
        <message>
            <source>Таблица %1 - структура считана</source>
            <translation>Table %1 - structure read</translation>
        </message>
        <message>
            <source>Сначала откройте набор данных ...</source>
            <translation>Open a dataset first ...</translation>
        </message>
        <message>
            <source>Все файлы|*.*</source>
            <translation>All files|*.*</translation>
        </message>
        <message>
            <source>Готово</source>
            <translation>Done</translation>
        </message>
        <message>
            <source>MEMO-поле указано некорректно ...</source>
            <translation>The MEMO field is not given correctly ...</translation>
        </message>
        <message>
            <source>Экспортируем MEMO-поле : </source>
            <translation>Exporting the MEMO field : </translation>
        </message>
        <message>
            <source>Готово. Маска рез. файлов: </source>
            <translation>Done. Result files: </translation>
        </message>
        <message>
            <source>SQL(insert)|*.sql|Все файлы|*.*</source>
            <translation>SQL(insert)|*.sql|All files|*.*</translation>
        </message>
        <message>
            <source>Обработка SQL-файла : </source>
            <translation>Processing the SQL file : </translation>
        </message>
        <message>
            <source>Содержание файла : </source>
            <translation>File contents : </translation>
        </message>
        <message>
            <source>Перезаписать файл ?</source>
            <translation>Overwrite the file?</translation>
        </message>
        <message>
            <source>Обработка закончена</source>
            <translation>Processing finished</translation>
        </message>
        <message>
            <source>Версия 1.14  (30.04.2008)</source>
            <translation>Version 1.14  (30.04.2008)</translation>
        </message>
        <message>
            <source>Скопировать в буфер обмена</source>
            <translation>Copy to the clipboard</translation>
        </message>
        <message>
            <source>Папка таблиц не найдена или недоступна: %1</source>
            <translation>The table folder is not found or cannot be read: %1</translation>
        </message>
        <message>
            <source>SQL-запрос пуст</source>
            <translation>The SQL query is empty</translation>
        </message>
        <message>
            <source>SQL-запрос пуст. Введите команду SELECT, SHOW или DESC и нажмите кнопку ещё раз</source>
            <translation>The SQL query is empty. Type a SELECT, SHOW or DESC command and press the button again</translation>
        </message>
        <message>
            <source>В этом наборе данных нет MEMO-полей.</source>
            <translation>This data set has no MEMO fields.</translation>
        </message>
        <message>
            <source>MEMO-поля этого набора данных: %1</source>
            <translation>MEMO fields of this data set: %1</translation>
        </message>
        <message>
            <source>Частями читается только запрос к базе открытого псевдонима.</source>
            <translation>Only a query of the open alias's database is read in ranges.</translation>
        </message>
    </context>
    <context>
        <name>morvale::form::TExportDialogF</name>
        <message>
            <source>У этого вида экспорта нет своих настроек.</source>
            <translation>This export type has no settings of its own.</translation>
        </message>
        <message>
            <source>Сохранить настройки...</source>
            <translation>Save settings...</translation>
        </message>
        <message>
            <source>Загрузить настройки...</source>
            <translation>Load settings...</translation>
        </message>
        <message>
            <source>Новый формат</source>
            <translation>New format</translation>
        </message>
        <message>
            <source>Введите значение:</source>
            <translation>Type the value:</translation>
        </message>
        <message>
            <source>Имя поля</source>
            <translation>Field name</translation>
        </message>
        <message>
            <source>Заголовок</source>
            <translation>Caption</translation>
        </message>
        <message>
            <source>Ширина</source>
            <translation>Width</translation>
        </message>
        <message>
            <source>Выравнивание</source>
            <translation>Alignment</translation>
        </message>
        <message>
            <source>Один знак; табуляция — #9</source>
            <translation>One character; tab — #9</translation>
        </message>
        <message>
            <source>Дату и &amp;время записывать текстом (гггг-мм-дд чч:мм:сс)</source>
            <translation>Write date and &amp;time as text (yyyy-mm-dd hh:mm:ss)</translation>
        </message>
        <message>
            <source>Поле даты dBASE хранит только день: без этого флажка время суток из столбцов даты и времени не сохраняется. Столбцы времени всегда записываются текстом чч:мм:сс.</source>
            <translation>A dBASE date field holds the day only: without this box the time of day of date-time columns is not kept. Time columns are always written as text hh:mm:ss.</translation>
        </message>
        <message>
            <source>Сбросить</source>
            <translation>Reset</translation>
        </message>
        <message>
            <source>Вернуть все настройки экспорта к исходным значениям?</source>
            <translation>Return every export setting to its default value?</translation>
        </message>
    </context>
    <context>
        <name>morvale::form::TXLSFormatsPage</name>
        <message>
            <source>Сбросить у выделенных</source>
            <translation>Reset the selected</translation>
        </message>
        <message>
            <source>Сбросить</source>
            <translation>Reset</translation>
        </message>
    </context>
    <context>
        <name>morvale::form::TfmExportProgress</name>
        <message>
            <source>Идет экспорт...</source>
            <translation>Exporting...</translation>
        </message>
        <message>
            <source>Статус</source>
            <translation>Status</translation>
        </message>
        <message>
            <source>Время</source>
            <translation>Time</translation>
        </message>
        <message>
            <source>Скорость</source>
            <translation>Speed</translation>
        </message>
    </context>
    <context>
        <name>morvale::form::TxlsColorChooser</name>
        <message>
            <source>Выбор цвета</source>
            <translation>Choose a color</translation>
        </message>
        <message>
            <source>Отмена</source>
            <translation>Cancel</translation>
        </message>
    </context>
    <context>
        <name>morvale::form::TxlsExtrasPage</name>
        <message>
            <source>Цвет Шрифта</source>
            <translation>Font colour</translation>
        </message>
        <message>
            <source>Подсказка</source>
            <translation>Hint</translation>
        </message>
        <message>
            <source>Логичекий</source>
            <translation>Boolean</translation>
        </message>
        <message>
            <source>Дата-Время</source>
            <translation>Date-time</translation>
        </message>
        <message>
            <source>Числовой</source>
            <translation>Numeric</translation>
        </message>
        <message>
            <source>Строковый</source>
            <translation>String</translation>
        </message>
        <message>
            <source>Кол</source>
            <translation>Col</translation>
        </message>
        <message>
            <source>Стр</source>
            <translation>Row</translation>
        </message>
        <message>
            <source>Тип ячейки</source>
            <translation>Cell type</translation>
        </message>
        <message>
            <source>Значение</source>
            <translation>Value</translation>
        </message>
        <message>
            <source>Формат Даты-Времени</source>
            <translation>Date-time format</translation>
        </message>
        <message>
            <source>Числовой формат</source>
            <translation>Number format</translation>
        </message>
        <message>
            <source>Общее</source>
            <translation>General</translation>
        </message>
        <message>
            <source>Перв. Кол.</source>
            <translation>First col</translation>
        </message>
        <message>
            <source>Перв. Стр</source>
            <translation>First row</translation>
        </message>
        <message>
            <source>Посл. Кол</source>
            <translation>Last col</translation>
        </message>
        <message>
            <source>Посл. Стр</source>
            <translation>Last row</translation>
        </message>
        <message>
            <source>Гистограмма</source>
            <translation>Column</translation>
        </message>
        <message>
            <source>Гистограмма 3D</source>
            <translation>Column 3D</translation>
        </message>
        <message>
            <source>Линейчатая</source>
            <translation>Bar</translation>
        </message>
        <message>
            <source>Линейчатая 3D</source>
            <translation>Bar 3D</translation>
        </message>
        <message>
            <source>График</source>
            <translation>Line</translation>
        </message>
        <message>
            <source>График с маркерами</source>
            <translation>Line Mark</translation>
        </message>
        <message>
            <source>График 3D</source>
            <translation>Line 3D</translation>
        </message>
        <message>
            <source>Круговая</source>
            <translation>Pie</translation>
        </message>
        <message>
            <source>Круговая 3D</source>
            <translation>Pie 3D</translation>
        </message>
        <message>
            <source>С областями</source>
            <translation>Area</translation>
        </message>
        <message>
            <source>С областями 3D</source>
            <translation>Area 3D</translation>
        </message>
        <message>
            <source>Поверхность</source>
            <translation>Surface</translation>
        </message>
        <message>
            <source>Поверхность 3D</source>
            <translation>Surface 3D</translation>
        </message>
        <message>
            <source>Лепестковая</source>
            <translation>Radar</translation>
        </message>
        <message>
            <source>Лепестковая с областями</source>
            <translation>Radar Area</translation>
        </message>
        <message>
            <source>Внизу</source>
            <translation>Bottom</translation>
        </message>
        <message>
            <source>В углу</source>
            <translation>Corner</translation>
        </message>
        <message>
            <source>Вверху</source>
            <translation>Top</translation>
        </message>
        <message>
            <source>Справа</source>
            <translation>Right</translation>
        </message>
        <message>
            <source>Слева</source>
            <translation>Left</translation>
        </message>
        <message>
            <source>Заголовок</source>
            <translation>Title</translation>
        </message>
        <message>
            <source>Тип</source>
            <translation>Style</translation>
        </message>
        <message>
            <source>Положение легенды</source>
            <translation>Legend Position</translation>
        </message>
        <message>
            <source>Показать легенду</source>
            <translation>Show Legend</translation>
        </message>
        <message>
            <source>Автоцвет</source>
            <translation>Auto Color</translation>
        </message>
        <message>
            <source>Основное</source>
            <translation>Base</translation>
        </message>
        <message>
            <source> Положение </source>
            <translation> Position </translation>
        </message>
        <message>
            <source> Подписи категорий </source>
            <translation> Category Labels </translation>
        </message>
        <message>
            <source>Автоматически</source>
            <translation>Auto Position</translation>
        </message>
        <message>
            <source>Вручную</source>
            <translation>Custom</translation>
        </message>
        <message>
            <source> Размещение </source>
            <translation> Placement </translation>
        </message>
        <message>
            <source>Сверху</source>
            <translation>Top</translation>
        </message>
        <message>
            <source>Высота</source>
            <translation>Height</translation>
        </message>
        <message>
            <source>Ширина</source>
            <translation>Width</translation>
        </message>
        <message>
            <source> Диапазон данных </source>
            <translation> Data Range </translation>
        </message>
        <message>
            <source>Цвет</source>
            <translation>Color</translation>
        </message>
        <message>
            <source>Кол.</source>
            <translation>Col</translation>
        </message>
        <message>
            <source>Стр.</source>
            <translation>Row</translation>
        </message>
        <message>
            <source>Текст</source>
            <translation>Text</translation>
        </message>
        <message>
            <source>Шрифт</source>
            <translation>Font</translation>
        </message>
        <message>
            <source>Заливка</source>
            <translation>Fill</translation>
        </message>
        <message>
            <source>Ж</source>
            <translation>B</translation>
        </message>
        <message>
            <source>Жирный</source>
            <translation>Bold</translation>
        </message>
        <message>
            <source>К</source>
            <translation>I</translation>
        </message>
        <message>
            <source>Наклонный</source>
            <translation>Italic</translation>
        </message>
        <message>
            <source>З</source>
            <translation>S</translation>
        </message>
        <message>
            <source>Перечеркнутый</source>
            <translation>Strike-out</translation>
        </message>
        <message>
            <source>Ч</source>
            <translation>U</translation>
        </message>
        <message>
            <source>Одинарное подчеркивание</source>
            <translation>Single underline</translation>
        </message>
        <message>
            <source>Ч²</source>
            <translation>U²</translation>
        </message>
        <message>
            <source>Двойное подчеркивание</source>
            <translation>Double underline</translation>
        </message>
        <message>
            <source>Ч с</source>
            <translation>U a</translation>
        </message>
        <message>
            <source>Одинарное подчеркивание по словам</source>
            <translation>Single accounting underline</translation>
        </message>
        <message>
            <source>Ч² с</source>
            <translation>U² a</translation>
        </message>
        <message>
            <source>Двойное подчеркивание по словам</source>
            <translation>Double accounting underline</translation>
        </message>
        <message>
            <source>Лев.</source>
            <translation>Left</translation>
        </message>
        <message>
            <source>По левому краю</source>
            <translation>Align left</translation>
        </message>
        <message>
            <source>Центр</source>
            <translation>Center</translation>
        </message>
        <message>
            <source>По центру</source>
            <translation>Center</translation>
        </message>
        <message>
            <source>Прав.</source>
            <translation>Right</translation>
        </message>
        <message>
            <source>По правому краю</source>
            <translation>Align right</translation>
        </message>
        <message>
            <source>Шир.</source>
            <translation>Fill</translation>
        </message>
        <message>
            <source>По ширине</source>
            <translation>Justify</translation>
        </message>
        <message>
            <source>Верх</source>
            <translation>Top</translation>
        </message>
        <message>
            <source>По верхнему краю</source>
            <translation>Align top</translation>
        </message>
        <message>
            <source>Середина</source>
            <translation>Middle</translation>
        </message>
        <message>
            <source>Низ</source>
            <translation>Bottom</translation>
        </message>
        <message>
            <source>По нижнему краю</source>
            <translation>Align bottom</translation>
        </message>
        <message>
            <source> Ориентация </source>
            <translation> Orientation </translation>
        </message>
        <message>
            <source>Без поворота</source>
            <translation>No Rotation</translation>
        </message>
        <message>
            <source>Сверху вниз</source>
            <translation>Top to bottom</translation>
        </message>
        <message>
            <source>Против часовой стрелки</source>
            <translation>Counter clock wise</translation>
        </message>
        <message>
            <source>По часовой стрелке</source>
            <translation>Clock wise</translation>
        </message>
        <message>
            <source>Размер</source>
            <translation>Size</translation>
        </message>
        <message>
            <source> Тип заливки </source>
            <translation> Fill Type </translation>
        </message>
        <message>
            <source>Сплошная</source>
            <translation>Solid</translation>
        </message>
        <message>
            <source>Градиент</source>
            <translation>Gradient</translation>
        </message>
        <message>
            <source>Горизонтальный</source>
            <translation>Horizontal</translation>
        </message>
        <message>
            <source>Вертикальный</source>
            <translation>Vertical</translation>
        </message>
        <message>
            <source>Диагональный вверх</source>
            <translation>Diagonal Up</translation>
        </message>
        <message>
            <source>Диагональный вниз</source>
            <translation>Diagonal Down</translation>
        </message>
        <message>
            <source>Из угла</source>
            <translation>From Corner</translation>
        </message>
        <message>
            <source>Из центра</source>
            <translation>From Center</translation>
        </message>
        <message>
            <source>Цвет фона</source>
            <translation>Background Color</translation>
        </message>
        <message>
            <source>Цвет узора</source>
            <translation>Foreground Color</translation>
        </message>
        <message>
            <source>Прозрачность</source>
            <translation>Transparency</translation>
        </message>
        <message>
            <source>Локальный файл</source>
            <translation>Local File</translation>
        </message>
        <message>
            <source> Тип </source>
            <translation> Style </translation>
        </message>
        <message>
            <source>Адрес</source>
            <translation>Target</translation>
        </message>
        <message>
            <source>Колонка</source>
            <translation>Column</translation>
        </message>
        <message>
            <source>Кол. 1</source>
            <translation>Col 1</translation>
        </message>
        <message>
            <source>Стр. 1</source>
            <translation>Row 1</translation>
        </message>
        <message>
            <source>Кол. 2</source>
            <translation>Col 2</translation>
        </message>
        <message>
            <source>Стр. 2</source>
            <translation>Row 2</translation>
        </message>
    </context>
    <context>
        <name>morvale::form::TxlsFormatEditor</name>
        <message>
            <source>Шрифт</source>
            <translation>Font</translation>
        </message>
        <message>
            <source>Разм.</source>
            <translation>Size</translation>
        </message>
        <message>
            <source>Цвет Шрифта</source>
            <translation>Font colour</translation>
        </message>
        <message>
            <source>&amp;Шрифт</source>
            <translation>&amp;Font</translation>
        </message>
        <message>
            <source>&amp;Границы</source>
            <translation>&amp;Borders</translation>
        </message>
        <message>
            <source>Узор</source>
            <translation>Pattern</translation>
        </message>
        <message>
            <source>Цвет фона</source>
            <translation>Background Color</translation>
        </message>
        <message>
            <source>Цвет узора</source>
            <translation>Foreground Color</translation>
        </message>
        <message>
            <source>Заливка</source>
            <translation>Fill</translation>
        </message>
        <message>
            <source>Функции</source>
            <translation>Functions</translation>
        </message>
        <message>
            <source>&amp;Функции</source>
            <translation>F&amp;unctions</translation>
        </message>
        <message>
            <source>  Пример</source>
            <translation>  Sample</translation>
        </message>
        <message>
            <source>Жирный</source>
            <translation>Bold</translation>
        </message>
        <message>
            <source>Наклонный</source>
            <translation>Italic</translation>
        </message>
        <message>
            <source>Перечеркнутый</source>
            <translation>Strike-out</translation>
        </message>
        <message>
            <source>Ж</source>
            <translation>B</translation>
        </message>
        <message>
            <source>К</source>
            <translation>I</translation>
        </message>
        <message>
            <source>З</source>
            <translation>S</translation>
        </message>
        <message>
            <source>Одинарное подчеркивание</source>
            <translation>Single underline</translation>
        </message>
        <message>
            <source>Двойное подчеркивание</source>
            <translation>Double underline</translation>
        </message>
        <message>
            <source>Одинарное подчеркивание по словам</source>
            <translation>Single accounting underline</translation>
        </message>
        <message>
            <source>Двойное подчеркивание по словам</source>
            <translation>Double accounting underline</translation>
        </message>
        <message>
            <source>Ч</source>
            <translation>U</translation>
        </message>
        <message>
            <source>Ч̳</source>
            <translation>U̳</translation>
        </message>
        <message>
            <source>Ч с</source>
            <translation>U a</translation>
        </message>
        <message>
            <source>Ч̳ с</source>
            <translation>U̳ a</translation>
        </message>
        <message>
            <source>По левому краю</source>
            <translation>Align left</translation>
        </message>
        <message>
            <source>По центру</source>
            <translation>Center</translation>
        </message>
        <message>
            <source>По правому краю</source>
            <translation>Align right</translation>
        </message>
        <message>
            <source>По ширине</source>
            <translation>Justify</translation>
        </message>
        <message>
            <source>По верхнему краю</source>
            <translation>Align top</translation>
        </message>
        <message>
            <source>По нижнему краю</source>
            <translation>Align bottom</translation>
        </message>
        <message>
            <source>Верхняя граница</source>
            <translation>Top border</translation>
        </message>
        <message>
            <source>Нижняя граница</source>
            <translation>Bottom border</translation>
        </message>
        <message>
            <source>Левая граница</source>
            <translation>Left border</translation>
        </message>
        <message>
            <source>Правая граница</source>
            <translation>Right border</translation>
        </message>
        <message>
            <source>Цвет верхней границы</source>
            <translation>Top border colour</translation>
        </message>
        <message>
            <source>Цвет нижней границы</source>
            <translation>Bottom border colour</translation>
        </message>
        <message>
            <source>Цвет левой границы</source>
            <translation>Left border colour</translation>
        </message>
        <message>
            <source>Цвет правой границы</source>
            <translation>Right border colour</translation>
        </message>
        <message>
            <source>Нет</source>
            <translation>None</translation>
        </message>
        <message>
            <source>СУММА</source>
            <translation>SUM</translation>
        </message>
        <message>
            <source>СРЕДНЕЕ</source>
            <translation>AVERAGE</translation>
        </message>
        <message>
            <source>МИН</source>
            <translation>MIN</translation>
        </message>
        <message>
            <source>МАКС</source>
            <translation>MAX</translation>
        </message>
    </context>
</TS>
