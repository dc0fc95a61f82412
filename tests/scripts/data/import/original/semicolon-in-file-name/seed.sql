INSERT INTO battle_script (file_name,dialogue_id,text_data) VALUES ('keep', 1, 'k');
INSERT INTO suggestion (word) VALUES ('sword');
