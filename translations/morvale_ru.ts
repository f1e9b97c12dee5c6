<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU" sourcelanguage="en_US">
    <context>
        <name>Engine</name>
        <message>
            <source>No configuration file for aliases (HOME is not set)</source>
            <translation>Нет файла настройки алиасов (не задана переменная HOME)</translation>
        </message>
        <message>
            <source>Cannot connect %s: %s</source>
            <translation>Не удалось подключиться к %s: %s</translation>
        </message>
        <message>
            <source>Cannot perform this operation on a closed dataset</source>
            <translation>Операция невозможна: набор данных закрыт</translation>
        </message>
        <message>
            <source>List index out of bounds (%d)</source>
            <translation>Индекс списка вне границ (%d)</translation>
        </message>
        <message>
            <source>Record not found</source>
            <translation>Запись не найдена</translation>
        </message>
        <message>
            <source>Table file "%s" cannot be opened</source>
            <translation>Файл таблицы «%s» не удаётся открыть</translation>
        </message>
        <message>
            <source>Table file "%s" is damaged: %s</source>
            <translation>Файл таблицы «%s» повреждён: %s</translation>
        </message>
        <message>
            <source>Memo file "%s" is damaged: %s</source>
            <translation>Файл MEMO-полей «%s» повреждён: %s</translation>
        </message>
        <message>
            <source>Table file "%s" is not a dBASE table</source>
            <translation>Файл «%s» не является таблицей dBASE</translation>
        </message>
        <message>
            <source>Memo file "%s" not found</source>
            <translation>Файл MEMO-полей «%s» не найден</translation>
        </message>
        <message>
            <source>no such table: %s</source>
            <translation>Таблица «%s» не найдена</translation>
        </message>
        <message>
            <source>no such column: %s</source>
            <translation>Поле «%s» не найдено</translation>
        </message>
        <message>
            <source>no such function: %s</source>
            <translation>Функция «%s» не найдена</translation>
        </message>
        <message>
            <source>ambiguous column name: %s</source>
            <translation>Неоднозначное имя поля «%s»: уточните таблицу</translation>
        </message>
        <message>
            <source>near "%s": syntax error</source>
            <translation>Синтаксическая ошибка рядом с «%s»</translation>
        </message>
        <message>
            <source>unrecognized token: "%s"</source>
            <translation>Нераспознанный элемент запроса: «%s»</translation>
        </message>
        <message>
            <source>incomplete input</source>
            <translation>Текст SQL-запроса не закончен</translation>
        </message>
        <message>
            <source>Unknown MySQL error</source>
            <translation>Неизвестная ошибка сервера MySQL</translation>
        </message>
        <message>
            <source>The SQL statement returns no result set</source>
            <translation>SQL-запрос не возвращает набор данных</translation>
        </message>
        <message>
            <source>PostgreSQL sent a COPY stream this reader does not know</source>
            <translation>PostgreSQL прислал поток COPY неизвестного вида</translation>
        </message>
        <message>
            <source>PostgreSQL sent a short COPY row</source>
            <translation>PostgreSQL прислал неполную строку COPY</translation>
        </message>
        <message>
            <source>PostgreSQL sent a COPY row of another width</source>
            <translation>PostgreSQL прислал строку COPY с другим числом полей</translation>
        </message>
        <message>
            <source>PostgreSQL sent a NUMERIC this reader does not know</source>
            <translation>PostgreSQL прислал значение NUMERIC неизвестного вида</translation>
        </message>
        <message>
            <source>The %s driver of Qt SQL is not installed</source>
            <translation>Драйвер %s из Qt SQL не установлен</translation>
        </message>
        <message>
            <source>Session '%s' not found</source>
            <translation>Сессия «%s» не найдена</translation>
        </message>
        <message>
            <source>Duplicate session name '%s'</source>
            <translation>Сессия с именем «%s» уже есть</translation>
        </message>
        <message>
            <source>Unknown database alias '%s'</source>
            <translation>Неизвестный алиас базы данных «%s»</translation>
        </message>
        <message>
            <source>Unknown driver '%s'</source>
            <translation>Неизвестный драйвер «%s»</translation>
        </message>
        <message>
            <source>An alias needs a name</source>
            <translation>У алиаса должно быть имя</translation>
        </message>
        <message>
            <source>Duplicate alias name '%s'</source>
            <translation>Алиас с именем «%s» уже есть</translation>
        </message>
        <message>
            <source>The alias '%s' is read-only</source>
            <translation>Алиас «%s» только для чтения</translation>
        </message>
        <message>
            <source>Unknown driver '%s' of the alias '%s'</source>
            <translation>Неизвестный драйвер «%s» у алиаса «%s»</translation>
        </message>
        <message>
            <source>Login to the database '%s' was cancelled</source>
            <translation>Вход в базу данных «%s» отменён</translation>
        </message>
        <message>
            <source>Cannot read the folder "%s": %s</source>
            <translation>Не удаётся прочитать папку «%s»: %s</translation>
        </message>
        <message>
            <source>The SQL text holds no statement</source>
            <translation>В тексте нет SQL-запроса</translation>
        </message>
        <message>
            <source>Only one SQL statement can be run at a time</source>
            <translation>За один раз можно выполнить только один SQL-запрос</translation>
        </message>
        <message>
            <source>No database file is given</source>
            <translation>Не указан файл базы данных</translation>
        </message>
        <message>
            <source>The command names no table</source>
            <translation>В команде не указана таблица</translation>
        </message>
        <message>
            <source>Cannot write the file %s</source>
            <translation>Не удаётся записать файл %s</translation>
        </message>
        <message>
            <source>The spreadsheet has no workbook to write to</source>
            <translation>В электронной таблице нет книги для записи</translation>
        </message>
        <message>
            <source>Cell (%s, %s) lies outside a sheet</source>
            <translation>Ячейка (%s, %s) вне листа</translation>
        </message>
        <message>
            <source>The spreadsheet application was not started</source>
            <translation>Программа электронных таблиц не запущена</translation>
        </message>
        <message>
            <source>The workbook has one worksheet</source>
            <translation>В книге один лист</translation>
        </message>
        <message>
            <source>Cannot create a temporary workbook in %s</source>
            <translation>Не удаётся создать временную книгу в %s</translation>
        </message>
        <message>
            <source>Cannot convert text from %s to %s</source>
            <translation>Не удаётся перекодировать текст из %s в %s</translation>
        </message>
        <message>
            <source>The text holds bytes that are no %s text and cannot be written in %s</source>
            <translation>В тексте есть байты, которые не являются текстом %s и не могут быть записаны в %s</translation>
        </message>
        <message>
            <source>The character "%s" (%s) in "%s" cannot be written in %s</source>
            <translation>Символ «%s» (%s) в «%s» нельзя записать в кодировке %s</translation>
        </message>
        <message>
            <source>Field '%s' not found</source>
            <translation>Поле «%s» не найдено</translation>
        </message>
        <message>
            <source>Invalid date %d-%d-%d</source>
            <translation>Неверная дата %d-%d-%d</translation>
        </message>
        <message>
            <source>'%s' is not a valid date and time</source>
            <translation>«%s» — неверные дата и время</translation>
        </message>
        <message>
            <source>Directory '%s' not found and cannot be created</source>
            <translation>Папка «%s» не найдена и не может быть создана</translation>
        </message>
        <message>
            <source>'%s' is not a valid floating point value</source>
            <translation>«%s» — неверное число</translation>
        </message>
        <message>
            <source>Invalid colour '%s'</source>
            <translation>Неверный цвет «%s»</translation>
        </message>
        <message>
            <source>Invalid font style '%s'</source>
            <translation>Неверное начертание шрифта «%s»</translation>
        </message>
        <message>
            <source>Cannot open '%s': xdg-open failed or is not installed</source>
            <translation>Не удаётся открыть «%s»: программа xdg-open не сработала или не установлена</translation>
        </message>
        <message>
            <source>Cannot print '%s': the lp command failed or is not installed</source>
            <translation>Не удаётся напечатать «%s»: команда lp не сработала или не установлена</translation>
        </message>
        <message>
            <source>Unknown shell verb '%s'</source>
            <translation>Неизвестное действие оболочки «%s»</translation>
        </message>
        <message>
            <source>Unknown property '%s'</source>
            <translation>Неизвестное свойство «%s»</translation>
        </message>
        <message>
            <source>Property '%s' has no part '%s'</source>
            <translation>У свойства «%s» нет части «%s»</translation>
        </message>
        <message>
            <source>Property '%s' cannot be set from text</source>
            <translation>Свойство «%s» нельзя задать текстом</translation>
        </message>
        <message>
            <source>Property '%s' has no text form</source>
            <translation>У свойства «%s» нет текстового вида</translation>
        </message>
        <message>
            <source>Invalid value '%s' for property '%s': %s</source>
            <translation>Неверное значение «%s» свойства «%s»: %s</translation>
        </message>
        <message>
            <source>expected True or False</source>
            <translation>ожидается True или False</translation>
        </message>
        <message>
            <source>expected an integer</source>
            <translation>ожидается целое число</translation>
        </message>
        <message>
            <source>expected a number</source>
            <translation>ожидается число</translation>
        </message>
        <message>
            <source>character code out of range</source>
            <translation>код символа вне допустимых пределов</translation>
        </message>
        <message>
            <source>expected one character or #code</source>
            <translation>ожидается один символ или #код</translation>
        </message>
        <message>
            <source>expected one of %s</source>
            <translation>ожидается одно из значений: %s</translation>
        </message>
        <message>
            <source>Cannot write to '%s': %s</source>
            <translation>Не удаётся записать в «%s»: %s</translation>
        </message>
        <message>
            <source>Stream does not support seeking</source>
            <translation>Поток не поддерживает перемещение</translation>
        </message>
        <message>
            <source>Invalid stream position</source>
            <translation>Неверная позиция в потоке</translation>
        </message>
        <message>
            <source>Cannot create file '%s': %s</source>
            <translation>Не удаётся создать файл «%s»: %s</translation>
        </message>
        <message>
            <source>Cannot open file '%s': %s</source>
            <translation>Не удаётся открыть файл «%s»: %s</translation>
        </message>
        <message>
            <source>File '%s' is closed</source>
            <translation>Файл «%s» закрыт</translation>
        </message>
        <message>
            <source>Cannot read '%s': %s</source>
            <translation>Не удаётся прочитать «%s»: %s</translation>
        </message>
        <message>
            <source>Cannot seek in '%s': %s</source>
            <translation>Не удаётся переместиться в «%s»: %s</translation>
        </message>
        <message>
            <source>No export dialog form is available</source>
            <translation>Форма диалога экспорта недоступна</translation>
        </message>
        <message>
            <source>expected a colour</source>
            <translation>ожидается цвет</translation>
        </message>
        <message>
            <source>Too many fields for a dBASE table: %d</source>
            <translation>Слишком много полей для таблицы dBASE: %d</translation>
        </message>
        <message>
            <source>dBASE record too long: %d bytes, at most 65535</source>
            <translation>Запись dBASE слишком длинная: %d байт, допускается не более 65535</translation>
        </message>
        <message>
            <source>Font %s already exists</source>
            <translation>Шрифт %s уже есть</translation>
        </message>
        <message>
            <source>FreeType could not be started</source>
            <translation>Не удалось запустить FreeType</translation>
        </message>
        <message>
            <source>Cannot read the font file %s</source>
            <translation>Не удаётся прочитать файл шрифта %s</translation>
        </message>
        <message>
            <source>The font file %s holds no TrueType outlines</source>
            <translation>В файле шрифта %s нет контуров TrueType</translation>
        </message>
        <message>
            <source>The font %s could not be subset</source>
            <translation>Не удалось выделить нужные знаки из шрифта %s</translation>
        </message>
        <message>
            <source>VirtualAlloc failed! :-(</source>
            <translation>Не удалось выделить память! :-(</translation>
        </message>
        <message>
            <source>expected a colour (clRed, $00BBGGRR, #rrggbb or a number)</source>
            <translation>ожидается цвет (clRed, $00BBGGRR, #rrggbb или число)</translation>
        </message>
        <message>
            <source>LaTeX reads no UTF-16 text: write the document in utf-8 or windows-1251</source>
            <translation>LaTeX не читает текст в UTF-16: выберите кодировку utf-8 или windows-1251</translation>
        </message>
        <message>
            <source>Encoding '%s' is not supported</source>
            <translation>Кодировка «%s» не поддерживается</translation>
        </message>
        <message>
            <source>Cannot create file "%s": %s</source>
            <translation>Не удаётся создать файл «%s»: %s</translation>
        </message>
        <message>
            <source>Cannot create the Workbook stream in "%s"</source>
            <translation>Не удаётся создать поток Workbook в «%s»</translation>
        </message>
        <message>
            <source>Error writing output file</source>
            <translation>Ошибка записи выходного файла</translation>
        </message>
        <message>
            <source>Sheet %s define with error: %s</source>
            <translation>Лист %s задан с ошибкой: %s</translation>
        </message>
        <message>
            <source>Result file name not present</source>
            <translation>Не указано имя файла результата</translation>
        </message>
        <message>
            <source>Invalid date or time in section %s</source>
            <translation>Неверные дата или время в разделе %s</translation>
        </message>
        <message>
            <source>A picture name cannot be empty</source>
            <translation>Имя рисунка не может быть пустым</translation>
        </message>
        <message>
            <source>A picture %s already exists</source>
            <translation>Рисунок %s уже есть</translation>
        </message>
        <message>
            <source>expected a palette colour</source>
            <translation>ожидается цвет палитры</translation>
        </message>
        <message>
            <source>Cannot create a temporary file in %s</source>
            <translation>Не удаётся создать временный файл в %s</translation>
        </message>
        <message>
            <source>Seek outside the workbook stream</source>
            <translation>Перемещение за пределы потока книги</translation>
        </message>
        <message>
            <source>Error reading the workbook stream</source>
            <translation>Ошибка чтения потока книги</translation>
        </message>
        <message>
            <source>Cannot create the file '%s'</source>
            <translation>Не удаётся создать файл «%s»</translation>
        </message>
        <message>
            <source>Cannot write the file '%s': %s</source>
            <translation>Не удаётся записать файл «%s»: %s</translation>
        </message>
        <message>
            <source>Cannot write the cell %s of sheet %s: %s</source>
            <translation>Не удаётся записать ячейку %s листа %s: %s</translation>
        </message>
        <message>
            <source>Cannot add the sheet %s to the workbook</source>
            <translation>Не удаётся добавить лист %s в книгу</translation>
        </message>
        <message>
            <source>Record %s: the value '%s' does not fit the Parquet column '%s' of its type</source>
            <translation>Запись %s: значение '%s' не помещается в столбец Parquet '%s' его типа</translation>
        </message>
        <message>
            <source>Cannot compress '%s': %s</source>
            <translation>Не удаётся сжать «%s»: %s</translation>
        </message>
        <message>
            <source>Files of this type cannot be split into parts: compress them whole instead</source>
            <translation>Файлы этого вида нельзя разделить на части: сожмите файл целиком</translation>
        </message>
    </context>
    <context>
        <name>ExportDialog</name>
        <message>
            <source>Text File</source>
            <translation>Текстовый файл</translation>
        </message>
        <message>
            <source>CSV File</source>
            <translation>Файл CSV</translation>
        </message>
        <message>
            <source>DIF File</source>
            <translation>Файл DIF</translation>
        </message>
        <message>
            <source>SYLK File</source>
            <translation>Файл SYLK</translation>
        </message>
        <message>
            <source>Windows Clipboard</source>
            <translation>Буфер обмена</translation>
        </message>
    </context>
    <context>
        <name>Filters</name>
        <message>
            <source>Microsoft Excel files (*.xls)|*.xls</source>
            <translation>Файлы Microsoft Excel (*.xls)|*.xls</translation>
        </message>
        <message>
            <source>Microsoft Word files (*.doc)|*.doc</source>
            <translation>Файлы Microsoft Word (*.doc)|*.doc</translation>
        </message>
        <message>
            <source>RTF files (*.rtf)|*.rtf</source>
            <translation>Файлы RTF (*.rtf)|*.rtf</translation>
        </message>
        <message>
            <source>HTML files (*.html, *.htm)|*.html;*.htm</source>
            <translation>Файлы HTML (*.html, *.htm)|*.html;*.htm</translation>
        </message>
        <message>
            <source>XML files (*.xml)|*.xml</source>
            <translation>Файлы XML (*.xml)|*.xml</translation>
        </message>
        <message>
            <source>DBF files (*.dbf)|*.dbf</source>
            <translation>Файлы DBF (*.dbf)|*.dbf</translation>
        </message>
        <message>
            <source>PDF Documents (*pdf)|*.pdf</source>
            <translation>Документы PDF (*pdf)|*.pdf</translation>
        </message>
        <message>
            <source>Text files (*.txt)|*.txt</source>
            <translation>Текстовые файлы (*.txt)|*.txt</translation>
        </message>
        <message>
            <source>CSV files (*.csv)|*.csv</source>
            <translation>Файлы CSV (*.csv)|*.csv</translation>
        </message>
        <message>
            <source>DIF files (*.dif)|*.dif</source>
            <translation>Файлы DIF (*.dif)|*.dif</translation>
        </message>
        <message>
            <source>SYLK files (*.slk)|*.slk</source>
            <translation>Файлы SYLK (*.slk)|*.slk</translation>
        </message>
        <message>
            <source>LaTeX files (*.tex)|*.tex</source>
            <translation>Файлы LaTeX (*.tex)|*.tex</translation>
        </message>
        <message>
            <source>SQL files (*.sql)|*.sql</source>
            <translation>Файлы SQL (*.sql)|*.sql</translation>
        </message>
        <message>
            <source>Microsoft Excel 2007+ files (*.xlsx)|*.xlsx</source>
            <translation>Файлы Microsoft Excel 2007+ (*.xlsx)|*.xlsx</translation>
        </message>
        <message>
            <source>JSON files (*.json)|*.json</source>
            <translation>Файлы JSON (*.json)|*.json</translation>
        </message>
        <message>
            <source>Pictures (*.jpg, *.jpeg, *.png, *.gif, *.bmp)|*.jpg;*.jpeg;*.png;*.gif;*.bmp|All files (*.*)|*.*</source>
            <translation>Рисунки (*.jpg, *.jpeg, *.png, *.gif, *.bmp)|*.jpg;*.jpeg;*.png;*.gif;*.bmp|Все файлы (*.*)|*.*</translation>
        </message>
        <message>
            <source>All (*.gif;*.jpg;*.jpeg;*.bmp)|*.gif;*.jpg;*.jpeg;*.bmp;|CompuServe GIF Image (*.gif)|*.gif|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp</source>
            <translation>Все рисунки (*.gif;*.jpg;*.jpeg;*.bmp)|*.gif;*.jpg;*.jpeg;*.bmp;|Рисунки GIF (*.gif)|*.gif|Рисунки JPEG (*.jpg)|*.jpg|Рисунки JPEG (*.jpeg)|*.jpeg|Точечные рисунки (*.bmp)|*.bmp</translation>
        </message>
        <message>
            <source>HTML colour templates (*.ini)|*.ini|All files (*.*)|*.*</source>
            <translation>Цветовые шаблоны HTML (*.ini)|*.ini|Все файлы (*.*)|*.*</translation>
        </message>
        <message>
            <source>Configuration files (*.cfg)|*.cfg|All files (*.*)|*.*</source>
            <translation>Файлы настроек (*.cfg)|*.cfg|Все файлы (*.*)|*.*</translation>
        </message>
        <message>
            <source>RTF style file (*.rst)|*.rst|All files (*.*)|*.*</source>
            <translation>Файлы стилей RTF (*.rst)|*.rst|Все файлы (*.*)|*.*</translation>
        </message>
        <message>
            <source>Excel style file (*.xst)|*.xst|All files (*.*)|*.*</source>
            <translation>Файлы стилей Excel (*.xst)|*.xst|Все файлы (*.*)|*.*</translation>
        </message>
        <message>
            <source>Parquet files (*.parquet)|*.parquet</source>
            <translation>Файлы Parquet (*.parquet)|*.parquet</translation>
        </message>
        <message>
            <source>Markdown files (*.md)|*.md</source>
            <translation>Файлы Markdown (*.md)|*.md</translation>
        </message>
    </context>
    <context>
        <name>Progress</name>
        <message>
            <source>OK</source>
            <translation>OK</translation>
        </message>
    </context>
    <context>
        <name>TDlgView_List_1</name>
        <message>
            <source>OK</source>
            <translation>OK</translation>
        </message>
    </context>
    <context>
        <name>TDlg_PHP</name>
        <message>
            <source>OK</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>Ctrl+F5</source>
            <translation>Ctrl+F5</translation>
        </message>
    </context>
    <context>
        <name>TDlg_TableStruct</name>
        <message>
            <source>OK</source>
            <translation>OK</translation>
        </message>
    </context>
    <context>
        <name>TDlg_ViewMemo</name>
        <message>
            <source>OK</source>
            <translation>OK</translation>
        </message>
    </context>
    <context>
        <name>TForm1</name>
        <message>
            <source>Ctrl+Return</source>
            <translation>Ctrl+Return</translation>
        </message>
        <message>
            <source>Ctrl+F3</source>
            <translation>Ctrl+F3</translation>
        </message>
    </context>
    <context>
        <name>morvale::TForm1</name>
        <message>
            <source>USER_NAME = </source>
            <translation>USER_NAME = </translation>
        </message>
    </context>
    <context>
        <name>morvale::form::TExportDialogF</name>
        <message>
            <source>Attention!</source>
            <translation>Внимание!</translation>
        </message>
        <message>
            <source>All field formats will be reset the default values.
Are you sure?</source>
            <translation>Все форматы полей будут сброшены к значениям по умолчанию.
Продолжить?</translation>
        </message>
    </context>
    <context>
        <name>morvale::form::TxlsColorChooser</name>
        <message>
            <source>OK</source>
            <translation>OK</translation>
        </message>
    </context>
    <context>
        <name>morvale::form::TxlsExtrasPage</name>
        <message>
            <source>URL</source>
            <translation>URL</translation>
        </message>
    </context>
</TS>
